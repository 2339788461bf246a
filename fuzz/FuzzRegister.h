#pragma once
// Registers every class that a form file may name and loads the fonts, once per fuzzing
// process.

namespace lumivex::fuzz {
void RegisterAllClasses();
}
