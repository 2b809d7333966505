// The program's own parts behind the main window's seams.
#include "app/program_parts.h"

ProgramParts::ProgramParts() = default;
ProgramParts::~ProgramParts() = default;

std::unique_ptr<MainWindowParts> makeProgramParts() { return std::make_unique<ProgramParts>(); }
