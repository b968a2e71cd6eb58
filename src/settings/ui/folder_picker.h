#pragma once
// The system folder picker behind an interface, so that tests answer for it.

#include <QString>

class QWidget;

namespace vantora {

class FolderPicker {
public:
    virtual ~FolderPicker() = default;
    // The chosen folder in native form, or an empty text when the operator cancelled.
    virtual QString pickFolder(QWidget* parent, const QString& title, const QString& start) = 0;
};

// Folders of the file system only, and no button for creating one.
class SystemFolderPicker : public FolderPicker {
public:
    QString pickFolder(QWidget* parent, const QString& title, const QString& start) override;
};

}  // namespace vantora
