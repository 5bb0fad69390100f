#pragma once
// The private runtime folder that Qt's windows expect (XDG_RUNTIME_DIR). Sessions without a login
// manager (su, ssh without PAM, containers, CI) lack it, and Qt then warns on the terminal at
// every start. Called before the application object exists: when the variable is missing, the
// folder Qt would fall back to (/tmp/runtime-<user>) is made, kept private, and named in the
// environment, so Qt finds it quietly.
namespace vaskel::RuntimeFolder {

void provide();

} // namespace vaskel::RuntimeFolder
