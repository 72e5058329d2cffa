#include "program_store.h"

#include "engine/component_stream.h"
#include "engine/resource_store.h"
#include "platform/core/streams.h"

void LoadProgramStore(TRessourceStore& store)
{
    TMemoryStream stream(ProgramStoreStream());
    ReadComponentRes(stream, store);
}
