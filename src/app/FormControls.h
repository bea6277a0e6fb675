#pragma once

#include "MaskedEdit.h"
#include "form1.h"

#include <QLineEdit>
#include <QString>

// The main window's controls as tables name them: through the form's typed
// members, so a renamed control fails to compile instead of being skipped.
namespace FormControls {

using Box = QLineEdit* (*)(Ui::form1&);
using Widget = QWidget* (*)(Ui::form1&);

template <auto Member> QLineEdit* box(Ui::form1& ui)
{
    return ui.*Member;
}

template <auto Member> QWidget* widget(Ui::form1& ui)
{
    return ui.*Member;
}

// The value of a value box: the digits typed into a masked box, the whole text of
// a plain one.
inline QString valueOf(const QLineEdit* box)
{
    if (const auto* masked = qobject_cast<const MaskedEdit*>(box))
        return masked->digits();
    return box->text();
}

} // namespace FormControls
