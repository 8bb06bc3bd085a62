#pragma once

#include <string>

// Libraries the host keeps beside liborvexhost.so and maps only when first needed (the image and
// video libraries pull in hundreds of shared libraries that every other command would pay for at
// start-up). Each exports one function that answers its table of entry points.
namespace side_library {

// The address of `symbol` in `libraryName` beside the host library, mapped for the life of the
// process; null with `error` naming the path when it cannot be loaded or lacks the symbol.
void* LoadSymbol(const char* libraryName, const char* symbol, std::string& error);

// Where the library is described: what stops working without it and what kind of library it is.
struct Description {
  const char* libraryName;
  const char* symbol;   // a function without arguments answering the table
  int version;          // the table's first field must equal it
  const char* purpose;  // "images cannot be read or written"
  const char* kind;     // "image"
};

// The library's table of type T, loaded on the first call only (thread-safe); null with `error`.
template <typename T>
const T* LoadOnce(const Description& description, std::string& error) {
  struct Loaded {
    const T* table = nullptr;
    std::string error;
  };
  static const Loaded loaded = [&description] {
    std::string reason;
    using Entry = const T* (*)();
    const auto entry =
        reinterpret_cast<Entry>(LoadSymbol(description.libraryName, description.symbol, reason));
    const T* table = entry ? entry() : nullptr;
    if (!table)
      return Loaded{nullptr,
                    std::string(description.purpose) + ": the " + description.kind + " library " + reason};
    if (table->version != description.version)
      return Loaded{nullptr, std::string(description.purpose) + ": \"" + description.libraryName +
                                 "\" is not this host's " + description.kind + " library"};
    return Loaded{table, {}};
  }();
  if (!loaded.table) error = loaded.error;
  return loaded.table;
}

}  // namespace side_library
