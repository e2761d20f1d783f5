#include "core/CTodoEntry.h"

#include "core/CArchive.h"
#include "core/Guid.h"
#include "core/TimeUnits.h"

namespace dv {

namespace {

// ---- file-local helpers -------------------------------------------------------------------------

// The moment `now` with the seconds dropped: deadlines are picked to the minute.
CDateTime ToWholeMinute(const CDateTime& now) {
    CDateTime result = now;
    result.SetTime(now.GetHour(), now.GetMinute(), 0);
    return result;
}

// The schema that added the identity and the sharing flag.
constexpr uint16_t kSchemaIdentity = 2;

} // namespace

const CRuntimeClass CTodoEntry::RuntimeClass("CTodoEntry", 2, 1, nullptr,
                                             &CTodoEntry::CreateForReading);

std::unique_ptr<CObject> CTodoEntry::CreateForReading() {
    return std::unique_ptr<CTodoEntry>(new CTodoEntry(ForReading{}));
}

CTodoEntry::CTodoEntry(const CDateTime& now) {
    m_data.GUID = NewGuidString();
    m_data.Deadline = ToWholeMinute(now);
}

CTodoEntry::CTodoEntry() : CTodoEntry(CDateTime::Now()) {}

CTodoEntry::~CTodoEntry() = default;

void CTodoEntry::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteString(m_data.GUID);
        ar.WriteLong(m_data.StorageType);
        ar.WriteString(m_data.Group);
        ar.WriteString(m_data.Description);
        ar.WriteString(m_data.Notes);
        m_data.Deadline.Serialize(ar);
        ar.WriteLong(m_data.ShowDeadline);
        ar.WriteLong(m_data.ShowDeadlineTime);
        ar.WriteLong(m_data.Forewarn);
        ar.WriteLong(m_data.ForewarnSpan);
        ar.WriteLong(m_data.ForewarnUnit);
        ar.WriteLong(m_data.Priority);
        ar.WriteLong(m_data.AssociateDocumentFile);
        ar.WriteString(m_data.DocumentFile);
        ar.WriteLong(m_done);
        m_currentTime.Serialize(ar);
        return;
    }

    // Schema 1 had no identity and no sharing: such a to-do keeps the GUID it was constructed
    // with and stays local. Integers are stored as DWORDs; the bytes are those of a LONG.
    if (ar.GetObjectSchema() >= kSchemaIdentity) {
        m_data.GUID = ar.ReadString();
        m_data.StorageType = ar.ReadLong();
    } else {
        if (m_data.GUID.empty()) {
            m_data.GUID = NewGuidString();
        }
        m_data.StorageType = 0;
    }
    m_data.Group = ar.ReadString();
    m_data.Description = ar.ReadString();
    m_data.Notes = ar.ReadString();
    m_data.Deadline.Serialize(ar);
    m_data.ShowDeadline = ar.ReadLong();
    m_data.ShowDeadlineTime = ar.ReadLong();
    m_data.Forewarn = ar.ReadLong();
    m_data.ForewarnSpan = ar.ReadLong();
    m_data.ForewarnUnit = ar.ReadLong();
    m_data.Priority = ar.ReadLong();
    m_data.AssociateDocumentFile = ar.ReadLong();
    m_data.DocumentFile = ar.ReadString();
    m_done = ar.ReadLong();
    m_currentTime.Serialize(ar);
}

CDateTime CTodoEntry::GetEffectiveDeadline() const {
    return m_data.ShowDeadlineTime != 0 ? m_data.Deadline : m_data.Deadline.GetDate();
}

CDateTimeSpan CTodoEntry::GetForewarnSpan() const {
    if (m_data.Forewarn == 0) {
        return CDateTimeSpan();
    }
    return MakeSpan(m_data.ForewarnSpan, m_data.ForewarnUnit);
}

bool CTodoEntry::IsOverdue() const {
    if (m_done != 0 || m_data.ShowDeadline == 0) {
        return false;
    }
    return m_currentTime >= GetEffectiveDeadline();
}

bool CTodoEntry::IsUrgent() const {
    if (m_done != 0 || m_data.ShowDeadline == 0) {
        return false;
    }
    // Without Forewarn the span is zero, so urgent begins with overdue.
    return m_currentTime >= GetEffectiveDeadline() - GetForewarnSpan();
}

bool CTodoEntry::SetCurrentTime(const CDateTime& now) {
    if (m_done != 0) {
        m_currentTime = now;
        return false;
    }
    const bool wasUrgent = IsUrgent();
    const bool wasOverdue = IsOverdue();
    m_currentTime = now;
    return IsUrgent() != wasUrgent || IsOverdue() != wasOverdue;
}

TodoState CTodoEntry::GetState() const {
    if (m_done != 0) {
        return TodoState::Done;
    }
    if (IsOverdue()) {
        return TodoState::Overdue;
    }
    if (IsUrgent()) {
        return TodoState::Urgent;
    }
    return TodoState::Undone;
}

} // namespace dv
