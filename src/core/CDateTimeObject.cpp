#include "core/CDateTimeObject.h"

namespace dv {

const CRuntimeClass CDateTimeObject::RuntimeClass{"CDateTime", 1, 1, nullptr,
                                                  &MakeObject<CDateTimeObject>};

} // namespace dv
