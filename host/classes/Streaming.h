#pragma once
// Form files: a component tree written as the framework's text form (object Name: TClass ... end)
// or as the binary stream that begins with "TPF0", read back through the class registry, and
// converted between the two forms without any component class.

#include <memory>
#include <string>

#include "host/classes/Classes.h"

namespace vcl {

enum class TFormFileFormat { Text, Binary };

// Root and the children it reports through GetChildren, each with the published properties that
// are stored and differ from their defaults. Raises EWriteError for what the form cannot hold.
std::string WriteComponentToString(const TComponent& Root, TFormFileFormat Format);
// Writes through a temporary file renamed over Path, so that a failed write leaves any former
// file whole. EFCreateError or EWriteError name the file.
void WriteComponentFile(const std::string& Path, const TComponent& Root, TFormFileFormat Format);

// Reads either form (the binary one is told by its signature) into a new root created through
// the class registry with no owner; the children are owned by that root. Each component created
// is loading (csLoading) until the whole tree is read and its references resolved; then Loaded
// is called on each in creation order, the root first. A malformed file raises EReadError naming
// the line or offset, and whatever the read created is destroyed.
std::unique_ptr<TComponent> ReadComponentFromString(const std::string& Data);
// The same from a file: EFOpenError when it cannot be opened; read errors name the file.
std::unique_ptr<TComponent> ReadComponentFile(const std::string& Path);
// Reads a form file's properties and children into an existing root, for a form that loads its
// own layout. The file's class must be Root's class or one it inherits from. Root keeps its name
// when it has one and takes the file's otherwise. On failure the children created so far are
// destroyed; properties already set on Root stay set.
void ReadComponentInto(const std::string& Data, TComponent& Root);

// Conversions between the forms that need no component class. Converting a file written by
// WriteComponentToString to the other form and back reproduces it byte for byte.
std::string ObjectTextToBinary(const std::string& Text);
std::string ObjectBinaryToText(const std::string& Binary);

} // namespace vcl
