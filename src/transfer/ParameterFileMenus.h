#pragma once

#include <QObject>

class form1;

// "Save Para&meter" and "Open Pa&rameter": the value boxes to and from a
// parameter file. Nothing is sent; the operator sends the loaded values later.
class ParameterFileMenus : public QObject
{
    Q_OBJECT

public:
    explicit ParameterFileMenus(form1& window);

private:
    void savemenu_Click();
    void openpar_Click();

    form1& m_window;
};
