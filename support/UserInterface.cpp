#include "support/UserInterface.h"

namespace {
UserInterface* current = nullptr;
}

void SetUserInterface(UserInterface* ui) { current = ui; }
UserInterface* CurrentUserInterface() { return current; }
