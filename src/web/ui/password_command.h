#pragma once
// "vantora --set-web-password operator|viewer": reads the new password twice from standard input
// (without echo on a terminal), checks it as the Network window does, stores its hash in the
// settings file and exits. Needs no display.

#include "settings/key_value_store.h"
#include "web/password_option.h"

#include <cstdio>

namespace vantora {

// Returns the exit code: 0 stored (or viewer access removed), 1 refused or not stored, 2 usage.
// Prompts and messages go to `messages`.
int RunPasswordCommand(const PasswordOption& option, KeyValueStore& store, std::FILE* input, std::FILE* messages);

}  // namespace vantora
