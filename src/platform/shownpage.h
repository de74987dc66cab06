// SPDX-License-Identifier: GPL-3.0-or-later
// The page the view shows, followed once for every feature that needs it.
//
// A script's answer comes back after the view may have moved on: the answer
// belongs to the page it was asked of, and one that outlives its page is
// dropped here instead of by each feature.
#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>

namespace Juanzong {

class HtmlView;

class ShownPage final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ShownPage)
public:
    explicit ShownPage(HtmlView *html, QObject *parent = nullptr);

    // The local file shown, as the view named it; empty before the first.
    QString path() const { return m_path; }
    // The anchor it was opened at, empty for none.
    QString fragment() const;
    // Its last load has finished, successfully.
    bool isLoaded() const { return m_loaded; }
    // Grows each time a page is shown, the same one again included.
    quint64 generation() const { return m_generation; }

    // Runs a script of the program's own in the page shown; done hears the
    // answer only if that page is still the one shown when it comes and
    // context, which done belongs to, still lives.
    void runScript(const QString &script, QObject *context, std::function<void(const QVariant &)> done);

Q_SIGNALS:
    // After path() and generation() have moved on.
    void shown(const QString &path);
    void loaded(bool ok);

private:
    HtmlView *m_html;
    QString m_path;
    bool m_loaded = false;
    quint64 m_generation = 0;
};

} // namespace Juanzong
