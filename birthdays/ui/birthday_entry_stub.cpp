#include "birthdays/ui/birthday_entry.h"
bool TFrmBDEntry::InsertEntry(TComponent*, TEntry*, TDateTime)
{
    return false;
}
bool TFrmBDEntry::EditEntry(TComponent*, TEntry*)
{
    return false;
}
