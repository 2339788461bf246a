// The vector module's one entry: the writer that the command's SVG, EPS and PDF output calls.
#include "tools/lumivex/Modules.h"

extern "C" lumivex::cli::VectorWriter LUMIVEX_VECTOR_ENTRY() {
    return &vcl::SaveMetafileToVector;
}
