// Setting the web console's passwords: "vantora --set-web-password" (as a function over a real
// settings file, and as the real program without a display), the password dialog, and the
// Network window's web console section (the port an environment variable imposes).
#include "settings/ui/qt_settings_store.h"
#include "support/event_wait.h"
#include "web/password_option.h"
#include "web/ui/password_command.h"
#include "web/ui/password_dialog.h"
#include "web/ui/web_console_section.h"
#include "web/ui/web_crypto.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSpinBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace vantora {
namespace {

struct CommandRun {
    int exitCode = -1;
    std::string messages;
};

CommandRun RunWithInput(const PasswordOption& option, KeyValueStore& store, const std::string& input)
{
    std::FILE* in = std::tmpfile();
    std::FILE* out = std::tmpfile();
    std::fputs(input.c_str(), in);
    std::rewind(in);
    CommandRun run;
    run.exitCode = RunPasswordCommand(option, store, in, out);
    std::rewind(out);
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, out))
        run.messages += buffer;
    std::fclose(in);
    std::fclose(out);
    return run;
}

TEST(PasswordOption, FoundWithItsRole)
{
    EXPECT_EQ(FindPasswordOption({"--version"}), std::nullopt);
    EXPECT_EQ(FindPasswordOption({}), std::nullopt);
    EXPECT_EQ(FindPasswordOption({"--set-web-password", "operator"})->role, WebRole::Operator);
    EXPECT_EQ(FindPasswordOption({"-style", "x", "--set-web-password", "viewer"})->role, WebRole::Viewer);
    EXPECT_EQ(FindPasswordOption({"--set-web-password"})->role, std::nullopt);
    EXPECT_EQ(FindPasswordOption({"--set-web-password", "admin"})->role, std::nullopt);
}

TEST(PasswordCommand, StoresTheHashOrSaysWhyNot)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QtSettingsStore store(dir.filePath("Vantora.conf"));
    struct Case {
        const char* what;
        std::optional<WebRole> role;
        std::string input;
        int exitCode;
        const char* message;
        const char* operatorPassword;  // what the stored operator hash takes afterwards
        const char* viewerPassword;    // "" : no viewer hash
    } cases[] = {
        {"operator", WebRole::Operator, "first secret\nfirst secret\n", 0, "Password stored", "first secret", ""},
        {"viewer, CRLF", WebRole::Viewer, "watch only\r\nwatch only\r\n", 0, "Password stored", "first secret",
         "watch only"},
        {"mismatch", WebRole::Operator, "second secret\nsecond secrex\n", 1, "do not match", "first secret",
         "watch only"},
        {"short", WebRole::Operator, "short\nshort\n", 1, "at least 8", "first secret", "watch only"},
        {"typed once", WebRole::Operator, "second secret\n", 1, "typed twice", "first secret", "watch only"},
        {"empty operator", WebRole::Operator, "\n\n", 1, "at least 8", "first secret", "watch only"},
        {"no role", std::nullopt, "x\nx\n", 2, "Usage: vantora --set-web-password", "first secret", "watch only"},
        {"new operator", WebRole::Operator, "second secret\nsecond secret", 0, "Password stored", "second secret",
         "watch only"},
        {"viewer removed", WebRole::Viewer, "\n\n", 0, "Viewer access removed", "second secret", ""},
    };
    for (const Case& c : cases) {
        const CommandRun run = RunWithInput(PasswordOption{c.role}, store, c.input);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.what;
        EXPECT_NE(run.messages.find(c.message), std::string::npos) << c.what << ": " << run.messages;
        const WebPasswordHashes hashes = LoadWebPasswordHashes(store);
        EXPECT_TRUE(VerifyWebPassword(hashes.operatorHash, c.operatorPassword)) << c.what;
        if (*c.viewerPassword == '\0') {
            EXPECT_TRUE(hashes.viewerHash.empty()) << c.what;
        } else {
            EXPECT_TRUE(VerifyWebPassword(hashes.viewerHash, c.viewerPassword)) << c.what;
        }
        EXPECT_EQ(run.messages.find("secret"), std::string::npos) << "never echoed: " << c.what;
    }
    EXPECT_FALSE(VerifyWebPassword(LoadWebPasswordHashes(store).operatorHash, "first secret"));
}

TEST(PasswordCommand, TheProgramSetsItWithoutADisplay)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString settings = dir.filePath("Vantora.conf");
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.insert(QStringLiteral("VANTORA_SETTINGS"), settings);
    program.setProcessEnvironment(environment);
    program.start(qEnvironmentVariable("VANTORA_BIN"), {"--set-web-password", "operator"});
    ASSERT_TRUE(program.waitForStarted());
    program.write("shack password\nshack password\n");
    program.closeWriteChannel();
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    QtSettingsStore store(settings);
    EXPECT_TRUE(VerifyWebPassword(LoadWebPasswordHashes(store).operatorHash, "shack password"));
}

TEST(PasswordDialog, TwoFieldsThatMustMatch)
{
    std::vector<std::pair<WebRole, std::string>> stored;
    bool storeWorks = true;
    const auto store = [&](WebRole role, const std::string& password) {
        stored.emplace_back(role, password);
        return storeWorks;
    };
    struct Case {
        const char* what;
        WebRole role;
        QString first;
        QString second;
        bool works;
        QString error;  // empty: stored and closed
        std::string storedPassword;
    } cases[] = {
        {"stored", WebRole::Operator, "12345678", "12345678", true, "", "12345678"},
        {"mismatch", WebRole::Operator, "12345678", "12345679", true, "The passwords do not match", ""},
        {"short", WebRole::Viewer, "1234567", "1234567", true, "The password needs at least 8 characters", ""},
        {"viewer removed", WebRole::Viewer, "", "", true, "", ""},
        {"store fails", WebRole::Operator, "12345678", "12345678", false, "The password could not be stored",
         "12345678"},
    };
    for (const Case& c : cases) {
        stored.clear();
        storeWorks = c.works;
        PasswordDialog dialog(c.role, store, {});
        dialog.findChild<QLineEdit*>("Password1")->setText(c.first);
        dialog.findChild<QLineEdit*>("Password2")->setText(c.second);
        dialog.accept();
        EXPECT_EQ(dialog.errorText(), c.error) << c.what;
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.error.isEmpty()) << c.what;
        const bool reachedStore = c.error.isEmpty() || !c.works;
        ASSERT_EQ(stored.size(), reachedStore ? 1u : 0u) << c.what;
        if (reachedStore) {
            EXPECT_EQ(stored[0], std::make_pair(c.role, c.storedPassword)) << c.what;
        }
        EXPECT_EQ(dialog.findChild<QLineEdit*>("Password1")->echoMode(), QLineEdit::Password);
    }
}

TEST(WebConsoleSection, ShowsStoredValuesAndThePortTheEnvironmentImposes)
{
    WebSettings stored{true, "0.0.0.0", 9000, "/etc/c.pem", "/etc/k.pem"};
    std::optional<int> environmentPort;
    std::vector<WebSettings> applied;
    WebConsoleControl control;
    control.stored = [&] { return stored; };
    control.storeAndApply = [&](const WebSettings& s) { applied.push_back(s); };
    control.status = [](const StatusTranslateFn&) { return QStringLiteral("Listening on http://0.0.0.0:9000"); };
    control.environmentPort = [&] { return environmentPort; };
    control.setPassword = [](WebRole, const std::string&) { return true; };
    WebConsoleSection section(control, {});

    section.load();
    EXPECT_EQ(section.values(), stored);
    EXPECT_TRUE(section.findChild<QSpinBox*>("WebPort")->isEnabled());
    EXPECT_TRUE(section.findChild<QLabel*>("WebPortNote")->text().isEmpty());

    environmentPort = 8800;
    section.load();
    EXPECT_EQ(section.findChild<QSpinBox*>("WebPort")->value(), 8800);
    EXPECT_FALSE(section.findChild<QSpinBox*>("WebPort")->isEnabled());
    EXPECT_EQ(section.findChild<QLabel*>("WebPortNote")->text(), "Port 8800, set by VANTORA_WEB_PORT");
    section.findChild<QComboBox*>("WebScope")->setCurrentIndex(0);
    section.findChild<QLineEdit*>("WebTlsKey")->setText(" /etc/other.pem ");
    section.apply();
    ASSERT_EQ(applied.size(), 1u);
    EXPECT_EQ(applied[0], (WebSettings{true, "127.0.0.1", 9000, "/etc/c.pem", "/etc/other.pem"}))
        << "the stored port stays";
    section.refreshStatus();
    EXPECT_EQ(section.findChild<QLabel*>("WebStatus")->text(), "Listening on http://0.0.0.0:9000");
}

}  // namespace
}  // namespace vantora
