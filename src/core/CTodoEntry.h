#pragma once

#include "core/CDateTime.h"
#include "core/CDateTimeSpan.h"
#include "core/CObject.h"
#include "core/CRuntimeClass.h"
#include "core/TodoData.h"

#include <cstdint>
#include <memory>
#include <string>

namespace dv {

class CArchive;

/// The state of a to-do for display, decided in this order: done, overdue, urgent, undone.
enum class TodoState { Done, Overdue, Urgent, Undone };

/// One to-do: its user data, the done flag, the reference time against which overdue and urgent
/// are decided, and the in-editor mark.
class CTodoEntry : public CObject {
public:
    /// "CTodoEntry", schema 2, schema 1 read.
    static const CRuntimeClass RuntimeClass;

    /// Defaults with a new GUID and the deadline at `now` with the seconds set to 0. CurrentTime
    /// starts at the date-time default, so a new to-do is neither urgent nor overdue until the
    /// document hands it the time.
    explicit CTodoEntry(const CDateTime& now);
    /// As above with CDateTime::Now().
    CTodoEntry();
    CTodoEntry(const CTodoEntry&) = default;
    CTodoEntry& operator=(const CTodoEntry&) = default;
    ~CTodoEntry() override;

    const CRuntimeClass* GetRuntimeClass() const override { return &RuntimeClass; }
    /// Writes schema 2; reads schemas 1 (no GUID, no StorageType) and 2.
    void Serialize(CArchive& ar) override;

    const TodoData& GetData() const { return m_data; }
    void GetData(TodoData& out) const { out = m_data; }
    /// Copies the data in, GUID included; Done, CurrentTime and InEditor stay.
    void SetData(const TodoData& data) { m_data = data; }
    const std::string& GetGUID() const { return m_data.GUID; }
    void SetGUID(std::string guid) { m_data.GUID = std::move(guid); }
    int32_t GetStorageType() const { return m_data.StorageType; }

    bool IsDone() const { return m_done != 0; }
    void SetDone(bool done) { m_done = done ? 1 : 0; }
    bool IsInEditor() const { return m_inEditor != 0; }
    void SetInEditor(bool inEditor) { m_inEditor = inEditor ? 1 : 0; }
    const CDateTime& GetCurrentTime() const { return m_currentTime; }

    /// The deadline as stored with ShowDeadlineTime, else its date at 00:00:00.
    CDateTime GetEffectiveDeadline() const;
    /// Zero without Forewarn; otherwise ForewarnSpan in ForewarnUnit (an unknown unit gives zero).
    CDateTimeSpan GetForewarnSpan() const;
    /// Not done, with a deadline, and CurrentTime at or after the effective deadline.
    bool IsOverdue() const;
    /// Not done, with a deadline, and CurrentTime at or after the deadline minus the forewarn span.
    bool IsUrgent() const;
    /// Stores the reference time; true when IsUrgent or IsOverdue changed (never for a done to-do).
    bool SetCurrentTime(const CDateTime& now);
    TodoState GetState() const;

private:
    // The archive's factory: reading overwrites the record at once, so it starts without a GUID
    // and without reading the clock; a schema-1 record gets its new GUID while it is read.
    struct ForReading {};
    explicit CTodoEntry(ForReading) {}
    static std::unique_ptr<CObject> CreateForReading();

    TodoData m_data;
    int32_t m_done = 0;
    CDateTime m_currentTime; ///< the reference "now"; stored with the to-do
    int32_t m_inEditor = 0;  ///< open in the to-do editor; not stored
};

} // namespace dv
