#include "settings/ui/folder_picker.h"

#include <QDir>
#include <QFileDialog>

namespace vantora {

QString SystemFolderPicker::pickFolder(QWidget* parent, const QString& title, const QString& start)
{
    const QString chosen = QFileDialog::getExistingDirectory(
        parent, title, start, QFileDialog::ShowDirsOnly | QFileDialog::ReadOnly);
    return chosen.isEmpty() ? QString() : QDir::toNativeSeparators(chosen);
}

}  // namespace vantora
