#pragma once
// The command's modules: parts that only some commands need, with libraries that every other
// command would load for nothing at start-up (Qt's for the preview, cairo's for vector files).
// A module lies beside the program in the build tree, or where the install puts it.

#include <string>

#include "host/graphics/Metafile.h"

#define LUMIVEX_VECTOR_ENTRY lumivex_vector_writer
#define LUMIVEX_VECTOR_MODULE "lumivex-vector.so"

namespace lumivex::cli {

// The module's handle, loaded for the rest of the process; null with Why saying what failed.
void* LoadModule(const char* FileName, std::string& Why);

using VectorWriter = decltype(&vcl::SaveMetafileToVector);

// SaveMetafileToVector from the vector module; raises vcl::EWriteError when it cannot load.
VectorWriter LoadVectorWriter();

} // namespace lumivex::cli

extern "C" lumivex::cli::VectorWriter LUMIVEX_VECTOR_ENTRY();
