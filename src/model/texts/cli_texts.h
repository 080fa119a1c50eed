#pragma once
// Messages of the headless front end korvex-cli.
#include "model/texts/text.h"

namespace korvex::texts {

KORVEX_TEXT(CliBadJson, "%1 is not a valid project description: %2");

}  // namespace korvex::texts
