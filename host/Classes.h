#pragma once
// The framework's persistent base. Components, streaming and the class registry build on it.

#include <string>

namespace vcl {

class TPersistent {
public:
    virtual ~TPersistent() = default;
    TPersistent() = default;
    TPersistent(const TPersistent&) = delete;
    TPersistent& operator=(const TPersistent&) = delete;

    // Copies the values of Source. The default refuses, as the framework does, with
    // EConvertError "Cannot assign a X to a Y".
    virtual void Assign(const TPersistent& Source);
    virtual std::string ClassName() const { return "TPersistent"; }

protected:
    // Called by Assign when this object does not know Source's class; lets Source copy itself
    // into this object instead. Raises the conversion error when it cannot either.
    virtual void AssignTo(TPersistent& Dest) const;
};

} // namespace vcl
