#pragma once
// Shared libraries opened when first needed rather than when a program starts: SQLite for a
// query, fontconfig for a face not yet known, libelf for a package's information. A program that
// never does that work neither maps them nor pays for their relocations.
//
// A user lists the functions it calls and gets a table of pointers of their own types:
//
//   #define LUMIVEX_SQLITE(X) X(sqlite3_open_v2) X(sqlite3_close_v2)
//   struct TSqlite { LUMIVEX_SQLITE(LUMIVEX_LATE_FIELD) };
//   const TSqlite& Sqlite() {
//       return LateApi<TSqlite>(
//           [](TSqlite& Api) {
//               return OpenLateLibrary("libsqlite3.so.0", {LUMIVEX_SQLITE(LUMIVEX_LATE_ENTRY)});
//           },
//           [](const std::string& Why) { throw EDatabaseError("Cannot open SQLite: " + Why); });
//   }
#include <initializer_list>
#include <string>
#include <utility>

#define LUMIVEX_LATE_FIELD(Name) decltype(&::Name) Name = nullptr;
#define LUMIVEX_LATE_ENTRY(Name) {#Name, reinterpret_cast<void**>(&Api.Name)},

namespace vcl::detail {

// Opens SoName (once per process; it stays open) and fills each pointer with the function of
// that name. Returns an empty string when every one was found, else what is missing, as the
// loader words it; the pointers are then all left null.
std::string OpenLateLibrary(const char* SoName,
                            std::initializer_list<std::pair<const char*, void**>> Functions);

// The one table of TApi in the process, filled by Open (which returns OpenLateLibrary's answer)
// on first use. When that fails, Fail raises the caller's exception with the loader's words, and
// the next use tries again.
template <typename TApi, typename TOpen, typename TFail>
const TApi& LateApi(TOpen Open, TFail Fail) {
    static const TApi Loaded = [&] {
        TApi Api;
        if (const std::string why = Open(Api); !why.empty())
            Fail(why);
        return Api;
    }();
    return Loaded;
}

} // namespace vcl::detail
