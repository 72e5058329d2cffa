#pragma once
// TEMPORARY stand-in until the entry dialog is merged.
#include "platform/core/datetime.h"
class TComponent;
class TEntry;
class TFrmBDEntry {
public:
    static bool InsertEntry(TComponent* AOwner, TEntry* anEntry, TDateTime aDate);
    static bool EditEntry(TComponent* AOwner, TEntry* anEntry);
};
