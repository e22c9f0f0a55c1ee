// What a screen reader finds of the drive list.
#include "drive_list.h"

#include <QtWidgets/QAbstractItemView>
#include <QtWidgets/QAccessibleWidget>

namespace app {

namespace {

// Qt names a combo box on Linux by its current text, and leaves its label to a relation; the
// drive list has no label, so it is named for what it holds, and its value is the drive. The
// list of drives is its child, with the drive shown as the selected item.
class DriveListAccessible final : public QAccessibleWidget {
public:
    explicit DriveListAccessible(DriveList* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name)
            return widget()->accessibleName();
        if (kind == QAccessible::Value)
            return List()->currentText();
        return QAccessibleWidget::text(kind);
    }
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(List()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child && child->object() == List()->view() ? 0 : -1;
    }
    QStringList actionNames() const override
    {
        return {showMenuAction(), setFocusAction()};
    }
    void doAction(const QString& action) override
    {
        if (action == showMenuAction())
            List()->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    DriveList* List() const { return static_cast<DriveList*>(widget()); }
};

QAccessibleInterface* DriveListFactory(const QString& className, QObject* object)
{
    if (className != QLatin1String(DriveList::staticMetaObject.className()))
        return nullptr;
    return new DriveListAccessible(static_cast<DriveList*>(object));
}

} // namespace

void DriveList::InstallAccessibility()
{
    static const bool installed = (QAccessible::installFactory(DriveListFactory), true);
    Q_UNUSED(installed);
}

} // namespace app
