#pragma once

// The windows of the keeper build their controls the same way, so the
// helpers live in the GUI layer.
#include "platform/gui/form_building.h"
