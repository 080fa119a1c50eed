#pragma once
// The program's text table: every text a user can see, one header per area.
// Code refers to entries by name (texts::UnexpectedFileFormat), never retypes them.
#include "model/texts/text.h"
#include "model/texts/model_texts.h"
#include "model/texts/cli_texts.h"
#if __has_include("model/texts/editor_texts.h")
#include "model/texts/editor_texts.h"
#endif
#if __has_include("model/texts/help_texts.h")
#include "model/texts/help_texts.h"
#endif
#if __has_include("model/texts/mapping_texts.h")
#include "model/texts/mapping_texts.h"
#endif
#if __has_include("model/texts/export_texts.h")
#include "model/texts/export_texts.h"
#endif
#if __has_include("model/texts/app_texts.h")
#include "model/texts/app_texts.h"
#endif
#if __has_include("model/texts/serial_texts.h")
#include "model/texts/serial_texts.h"
#endif
#if __has_include("model/texts/net_texts.h")
#include "model/texts/net_texts.h"
#endif
#if __has_include("model/texts/compare_texts.h")
#include "model/texts/compare_texts.h"
#endif
#if __has_include("model/texts/port_texts.h")
#include "model/texts/port_texts.h"
#endif
#if __has_include("model/texts/monitor_texts.h")
#include "model/texts/monitor_texts.h"
#endif
