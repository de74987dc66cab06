// SPDX-License-Identifier: GPL-3.0-or-later
// The fill-in panel: one field per group of blanks of a model document, or one
// per blank when the user fills a group's occurrences one by one.
#pragma once

#include "document/placeholders.h"

#include <QDialog>
#include <QList>

class QCheckBox;
class QLabel;
class QLineEdit;
class QVBoxLayout;

namespace Juanzong {

class FillPanel final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FillPanel)
public:
    explicit FillPanel(QWidget *parent = nullptr);
    ~FillPanel() override;

    // Lists the blanks of a new document, every field empty.
    void setFillIn(const FillIn &fillIn);
    const FillIn &fillIn() const { return m_fillIn; }

Q_SIGNALS:
    void valuesChanged();
    void copyRequested();
    void saveRequested();
    // The panel went out of sight, by the user's hand or the program's.
    void closed();

protected:
    void hideEvent(QHideEvent *event) override;

private:
    struct GroupFields
    {
        QLineEdit *group = nullptr;
        QCheckBox *separately = nullptr;
        QWidget *blanks = nullptr;
    };

    void rebuild();
    // One group's box: its label, its one field and, for a blank that stands
    // in several places, a field per place.
    QWidget *groupBox(int group);
    void addPlaceByPlace(int group, GroupFields &fields, QVBoxLayout *boxLayout);
    void groupEdited(int group, const QString &text);
    void blankEdited(int group, int placeholder, const QString &text);
    void setSeparately(int group, bool on);
    void clearAll();

    FillIn m_fillIn;
    QLabel *m_heading = nullptr;
    QWidget *m_fields = nullptr;
    QVBoxLayout *m_fieldsLayout = nullptr;
    QList<GroupFields> m_groups;
    QList<QLineEdit *> m_blanks;
};

} // namespace Juanzong
