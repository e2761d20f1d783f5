#include "core/CRuntimeClass.h"

#include "core/CObject.h"

#include <map>
#include <mutex>
#include <stdexcept>

namespace dv {

namespace {

// ---- Registry -----------------------------------------------------------------------------------

struct Registry {
    std::mutex mutex;
    std::map<std::string, const CRuntimeClass*, std::less<>> classes;
};

// Built on first use, which is the first registration; so it is destroyed only after every
// statically defined class has removed itself.
Registry& GetRegistry() {
    static Registry registry;
    return registry;
}

bool IsValidClassName(std::string_view name) {
    if (name.empty() || name.size() > CRuntimeClass::kMaxNameLength) {
        return false;
    }
    for (const char c : name) {
        if (c < 0x21 || c > 0x7E) {
            return false;
        }
    }
    return true;
}

} // namespace

// ---- CRuntimeClass ------------------------------------------------------------------------------

CRuntimeClass::CRuntimeClass(std::string_view className, uint16_t schema, uint16_t oldestSchema,
                             const CRuntimeClass* baseClass, Factory factory)
    : m_className(className), m_schema(schema), m_oldestSchema(oldestSchema),
      m_baseClass(baseClass), m_factory(factory) {
    if (!IsValidClassName(className)) {
        throw std::invalid_argument("serialisable class name \"" + m_className +
                                    "\" is not 1 to 63 printable ASCII characters");
    }
    if (schema == 0xFFFF || oldestSchema > schema) {
        throw std::invalid_argument("serialisable class \"" + m_className +
                                    "\" has an invalid schema range");
    }
    Registry& registry = GetRegistry();
    const std::lock_guard lock(registry.mutex);
    if (!registry.classes.emplace(m_className, this).second) {
        throw std::logic_error("serialisable class \"" + m_className + "\" is registered twice");
    }
}

CRuntimeClass::~CRuntimeClass() {
    Registry& registry = GetRegistry();
    const std::lock_guard lock(registry.mutex);
    const auto found = registry.classes.find(m_className);
    if (found != registry.classes.end() && found->second == this) {
        registry.classes.erase(found);
    }
}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const noexcept {
    for (const CRuntimeClass* current = this; current != nullptr; current = current->m_baseClass) {
        if (current == base) {
            return true;
        }
    }
    return false;
}

std::unique_ptr<CObject> CRuntimeClass::CreateObject() const {
    return m_factory != nullptr ? m_factory() : nullptr;
}

const CRuntimeClass* CRuntimeClass::FromName(std::string_view className) {
    Registry& registry = GetRegistry();
    const std::lock_guard lock(registry.mutex);
    const auto found = registry.classes.find(className);
    return found != registry.classes.end() ? found->second : nullptr;
}

} // namespace dv
