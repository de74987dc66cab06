#include "core/catalogue.h"

#include "core/contentpaths.h"

#include <algorithm>

namespace Juanzong::Catalogue {

namespace {

using enum StartupAction;

constexpr Row Table[] = {
    {u"", u"wszzgf", u"民事诉讼文书制作规范", MakeVisible},
    {u"", u"X1", u"民事卷宗范本", MakeVisible},
    {u"X1", u"C1", u"人民法院制作民事卷宗范本", MakeVisible},
    {u"C1", u"juanzongfanben-5", u"管辖", MakeVisible},
    {u"C1", u"juanzongfanben-6", u"回避", None},
    {u"C1", u"juanzongfanben-7", u"诉讼参加人", None},
    {u"C1", u"juanzongfanben-8", u"证据", None},
    {u"C1", u"D5", u"期间、送达", None},
    {u"D5", u"juanzongfanben-38", u"期间", None},
    {u"D5", u"juanzongfanben-39", u"送达", None},
    {u"C1", u"juanzongfanben-10", u"调解", None},
    {u"C1", u"juanzongfanben-11", u"保全和先予执行", None},
    {u"C1", u"juanzongfanben-12", u"对妨害民事诉讼的强制措施", None},
    {u"C1", u"juanzongfanben-13", u"诉讼费用", None},
    {u"C1", u"D10", u"第一审普通程序", Expand},
    {u"D10", u"juanzongfanben-40", u"民事裁定书", None},
    {u"D10", u"juanzongfanben-41", u"民事判决书", None},
    {u"D10", u"juanzongfanben-42", u"其他", None},
    {u"C1", u"juanzongfanben-15", u"简易程序", None},
    {u"C1", u"juanzongfanben-16", u"简易程序中的小额诉讼", None},
    {u"C1", u"juanzongfanben-17", u"公益诉讼", None},
    {u"C1", u"juanzongfanben-18", u"第三人撤销之诉", None},
    {u"C1", u"juanzongfanben-19", u"执行异议之诉", None},
    {u"C1", u"juanzongfanben-20", u"第二审程序", None},
    {u"C1", u"D17", u"非诉程序", None},
    {u"D17", u"juanzongfanben-22", u"选民资格案件", None},
    {u"D17", u"juanzongfanben-23", u"宣告失踪、宣告死亡案件", None},
    {u"D17", u"juanzongfanben-24", u"认定公民民事行为能力案件", None},
    {u"D17", u"juanzongfanben-25", u"认定财产无主案件", None},
    {u"D17", u"juanzongfanben-26", u"确认调解协议案件", None},
    {u"D17", u"juanzongfanben-27", u"实现担保物权案件", None},
    {u"D17", u"juanzongfanben-28", u"监护权特别程序案件", None},
    {u"D17", u"juanzongfanben-29", u"确认仲裁协议效力案件", None},
    {u"D17", u"juanzongfanben-30", u"撤销仲裁裁决案件", None},
    {u"D17", u"juanzongfanben-31", u"人身安全保护令案件", None},
    {u"D17", u"juanzongfanben-32", u"其他", None},
    {u"C1", u"D18", u"审判监督程序", None},
    {u"D18", u"juanzongfanben-43", u"当事人申请再审案件", None},
    {u"D18", u"juanzongfanben-44", u"被遗漏的必须共同进行诉讼的当事人申请再审案件", None},
    {u"D18", u"juanzongfanben-45", u"案外人申请再审案件", None},
    {u"D18", u"juanzongfanben-46", u"人民法院依职权再审案件", None},
    {u"D18", u"juanzongfanben-47", u"人民检察院抗诉再审案件", None},
    {u"D18", u"juanzongfanben-48", u"检察建议再审案件", None},
    {u"D18", u"juanzongfanben-49", u"小额诉讼再审案件", None},
    {u"D18", u"juanzongfanben-50", u"其他", None},
    {u"C1", u"juanzongfanben-34", u"督促程序", None},
    {u"C1", u"juanzongfanben-35", u"公式催告程序", None},
    {u"C1", u"D21", u"执行程序", None},
    {u"D21", u"juanzongfanben-51", u"申请执行及委托执行", None},
    {u"D21", u"juanzongfanben-52", u"限制出境措施", None},
    {u"D21", u"juanzongfanben-53", u"执行中止与终结", None},
    {u"D21", u"juanzongfanben-54", u"执行金钱给付", None},
    {u"D21", u"juanzongfanben-55", u"执行财产交付及完成行为", None},
    {u"D21", u"juanzongfanben-56", u"审查不予执行申请", None},
    {u"D21", u"juanzongfanben-57", u"执行管辖", None},
    {u"D21", u"juanzongfanben-58", u"变更或追加执行当事人", None},
    {u"D21", u"juanzongfanben-59", u"执行协调与执行监督", None},
    {u"C1", u"D22", u"涉外民事诉讼程序的特别规定", None},
    {u"D22", u"juanzongfanben-60", u"承认和执行外国法院生效判决、裁定", None},
    {u"D22", u"juanzongfanben-61", u"认可和执行香港特别行政区、澳门特别行政区、台湾地区法院民事判决", None},
    {u"D22", u"juanzongfanben-62", u"承认和执行外国仲裁裁决", None},
    {u"D22", u"juanzongfanben-63", u"认可和执行香港特别行政区、澳门特别行政区、台湾地区仲裁裁决", None},
    {u"D22", u"juanzongfanben-64", u"国际民商事司法协助", None},
    {u"D22", u"juanzongfanben-65", u"港澳台司法协助", None},
    {u"X1", u"C2", u"当事人参考民事卷宗范本", None},
    {u"C2", u"juanzongfanben-66", u"管辖", None},
    {u"C2", u"juanzongfanben-67", u"回避", None},
    {u"C2", u"juanzongfanben-68", u"诉讼参加人", None},
    {u"C2", u"juanzongfanben-69", u"证据", None},
    {u"C2", u"juanzongfanben-70", u"期间、送达", None},
    {u"C2", u"juanzongfanben-71", u"调解", None},
    {u"C2", u"juanzongfanben-72", u"保全和先予执行", None},
    {u"C2", u"juanzongfanben-73", u"对妨害民事诉讼的强制措施", None},
    {u"C2", u"juanzongfanben-74", u"诉讼费用", None},
    {u"C2", u"juanzongfanben-75", u"第一审普通程序", None},
    {u"C2", u"juanzongfanben-76", u"简易程序", None},
    {u"C2", u"juanzongfanben-77", u"简易程序中的小额诉讼", None},
    {u"C2", u"juanzongfanben-78", u"公益诉讼", None},
    {u"C2", u"juanzongfanben-79", u"第三人撤销之诉", None},
    {u"C2", u"juanzongfanben-80", u"执行异议之诉", None},
    {u"C2", u"juanzongfanben-81", u"第二审程序", None},
    {u"C2", u"D39", u"非诉程序", None},
    {u"D39", u"juanzongfanben-83", u"选民资格案件", None},
    {u"D39", u"juanzongfanben-84", u"宣告失踪、宣告死亡案件", None},
    {u"D39", u"juanzongfanben-85", u"认定公民民事行为能力案件", None},
    {u"D39", u"juanzongfanben-86", u"认定财产无主案件", None},
    {u"D39", u"juanzongfanben-87", u"确认调解协议案件", None},
    {u"D39", u"juanzongfanben-88", u"实现担保物权案件", None},
    {u"D39", u"juanzongfanben-89", u"监护权特别程序案件", None},
    {u"D39", u"juanzongfanben-90", u"确认仲裁协议效力案件", None},
    {u"D39", u"juanzongfanben-91", u"撤销仲裁裁决案件", None},
    {u"D39", u"juanzongfanben-92", u"人身安全保护令案件", None},
    {u"D39", u"juanzongfanben-93", u"其他", None},
    {u"C2", u"juanzongfanben-94", u"审判监督程序", None},
    {u"C2", u"juanzongfanben-95", u"督促程序", None},
    {u"C2", u"juanzongfanben-96", u"公式催告程序", None},
    {u"C2", u"juanzongfanben-97", u"执行程序", None},
    {u"C2", u"juanzongfanben-98", u"涉外民事诉讼程序的特别规定", None},
    {u"X1", u"juanzongfanben-102", u"行政文书样式", None},
    {u"", u"X2", u"国家赔偿文书样式", None},
    {u"X2", u"juanzongfanben-100", u"本院赔偿文书样式", None},
    {u"X2", u"juanzongfanben-101", u"赔偿委员会文书样式", MakeVisible},
};

static_assert(std::size(Table) == 102);

} // namespace

std::span<const Row> rows()
{
    return Table;
}

bool isCategory(QStringView key)
{
    return std::find(CategoryKeys.begin(), CategoryKeys.end(), key) != CategoryKeys.end();
}

std::optional<QString> pageOf(const QString &programDir, const QString &key)
{
    if (isCategory(key))
        return std::nullopt;
    return ContentPaths::leafPage(programDir, key);
}

QString labelOf(QStringView key)
{
    const auto it = std::find_if(std::begin(Table), std::end(Table),
                                 [key](const Row &row) { return row.key == key; });
    return it == std::end(Table) ? QString() : it->label.toString();
}

std::optional<QString> keyOfPage(const QString &programDir, const QString &path)
{
    // Windows names the same file in any case; a link typed as "Juanzongfanben-5.HTML"
    // still shows that node's page there.
#ifdef Q_OS_WIN
    constexpr Qt::CaseSensitivity FileCase = Qt::CaseInsensitive;
#else
    constexpr Qt::CaseSensitivity FileCase = Qt::CaseSensitive;
#endif
    const std::optional<QString> name = ContentPaths::insideFolder(ContentPaths::contentRoot(programDir), path);
    constexpr QStringView Suffix = u".html";
    if (!name || name->contains(u'/') || !name->endsWith(Suffix, FileCase))
        return std::nullopt;
    const QStringView base = QStringView(*name).chopped(Suffix.size());
    const auto it = std::find_if(std::begin(Table), std::end(Table), [base](const Row &row) {
        return !isCategory(row.key) && row.key.compare(base, FileCase) == 0;
    });
    if (it == std::end(Table))
        return std::nullopt;
    return it->key.toString();
}

} // namespace Juanzong::Catalogue
