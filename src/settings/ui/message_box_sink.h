#pragma once
// MessageSink on QMessageBox: a modal box with an OK button over the active window of the
// program, or over `parent` when none is active.

#include "settings/message_sink.h"

#include <QPointer>
#include <QWidget>

namespace vantora {

class MessageBoxSink : public MessageSink {
public:
    explicit MessageBoxSink(QWidget* parent = nullptr) : m_parent(parent) {}

    void ShowMessage(std::string_view text) override;

private:
    QPointer<QWidget> m_parent;
};

}  // namespace vantora
