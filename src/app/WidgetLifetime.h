#pragma once

#include <QObject>

namespace dv {

/// Cuts the connections from `owner`'s children to `owner`. Children are destroyed after the
/// owner's own members, and some emit signals on the way out (a header resizing its sections, a
/// view clearing its selection): no slot of the half-destroyed owner may run then.
inline void DisconnectChildren(QObject& owner) {
    for (QObject* child : owner.findChildren<QObject*>()) {
        QObject::disconnect(child, nullptr, &owner, nullptr);
    }
}

} // namespace dv
