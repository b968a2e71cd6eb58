#include "web/ui/password_dialog.h"

#include "web/new_password.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vantora {

PasswordDialog::PasswordDialog(WebRole role, StoreFn store, StatusTranslateFn translate, QWidget* parent)
    : QDialog(parent), m_role(role), m_store(std::move(store)), m_translate(std::move(translate))
{
    setObjectName(role == WebRole::Operator ? QStringLiteral("OperatorPasswordDialog")
                                            : QStringLiteral("ViewerPasswordDialog"));
    setWindowTitle(tr8(role == WebRole::Operator ? "Operator password" : "Viewer password"));
    m_first = new QLineEdit(this);
    m_first->setObjectName(QStringLiteral("Password1"));
    m_first->setEchoMode(QLineEdit::Password);
    m_second = new QLineEdit(this);
    m_second->setObjectName(QStringLiteral("Password2"));
    m_second->setEchoMode(QLineEdit::Password);
    m_error = new QLabel(this);
    m_error->setObjectName(QStringLiteral("PasswordError"));
    m_error->setStyleSheet(QStringLiteral("color: #c00000"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(tr8("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &PasswordDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PasswordDialog::reject);

    auto* form = new QFormLayout(this);
    form->addRow(tr8("New password:"), m_first);
    form->addRow(tr8("Repeat:"), m_second);
    if (role == WebRole::Viewer) {
        auto* note = new QLabel(tr8("An empty viewer password removes viewer access."), this);
        note->setWordWrap(true);
        form->addRow(note);
    }
    form->addRow(m_error);
    form->addRow(buttons);
}

QString PasswordDialog::tr8(const char* english) const
{
    return QString::fromStdString(m_translate ? m_translate(english) : std::string(english));
}

QString PasswordDialog::errorText() const
{
    return m_error->text();
}

void PasswordDialog::accept()
{
    const std::string first = m_first->text().toStdString();
    const std::string second = m_second->text().toStdString();
    const NewPasswordCheck check = CheckNewPassword(m_role, first, second);
    if (check == NewPasswordCheck::Mismatch || check == NewPasswordCheck::TooShort) {
        m_error->setText(tr8(std::string(NewPasswordText(check)).c_str()));
        m_second->clear();
        return;
    }
    if (!m_store(m_role, check == NewPasswordCheck::Store ? first : std::string())) {
        m_error->setText(tr8("The password could not be stored"));
        return;
    }
    m_first->clear();
    m_second->clear();
    m_error->clear();
    QDialog::accept();
}

}  // namespace vantora
