#pragma once

#include <QList>
#include <QObject>

class QAction;
class QKeyEvent;
class QWidget;

// Text boxes take the standard edit keys for themselves (they accept the
// ShortcutOverride event), so a menu item's Ctrl+C or Ctrl+V would never fire
// while one has the focus. Watched boxes leave those keys to the menu: the item
// runs by its own rules, and a disabled item leaves the key without effect.
class MenuShortcutFilter : public QObject
{
    Q_OBJECT

public:
    MenuShortcutFilter(const QList<QAction*>& actions, QObject* parent);

    void watch(QWidget* box);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isMenuKey(const QKeyEvent* key) const;

    QList<QAction*> m_actions;
};
