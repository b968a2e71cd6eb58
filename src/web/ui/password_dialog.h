#pragma once
// "Set operator password…" / "Set viewer password…": the new password in two fields that must
// match, at least 8 characters; for the viewer, empty fields remove viewer access.

#include "track/ui/listen_status.h"
#include "web/web_settings.h"

#include <QDialog>

#include <functional>
#include <string>

class QLabel;
class QLineEdit;

namespace vantora {

class PasswordDialog : public QDialog {
    Q_OBJECT
public:
    // `store` hashes and stores the password (empty: remove the viewer's); false when it could
    // not be stored.
    using StoreFn = std::function<bool(WebRole, const std::string&)>;

    PasswordDialog(WebRole role, StoreFn store, StatusTranslateFn translate, QWidget* parent = nullptr);

    // OK: checks the fields; stores and closes, or says why not and stays open.
    void accept() override;
    QString errorText() const;

private:
    QString tr8(const char* english) const;

    WebRole m_role;
    StoreFn m_store;
    StatusTranslateFn m_translate;
    QLineEdit* m_first = nullptr;
    QLineEdit* m_second = nullptr;
    QLabel* m_error = nullptr;
};

}  // namespace vantora
