// The persistent base: value copies between framework objects.
#include "host/Classes.h"

#include "host/SysUtils.h"

namespace vcl {

void TPersistent::Assign(const TPersistent& Source) {
    Source.AssignTo(*this);
}

void TPersistent::AssignTo(TPersistent& Dest) const {
    throw EConvertError("Cannot assign a " + ClassName() + " to a " + Dest.ClassName());
}

} // namespace vcl
