#include "cli/RecordJson.h"

namespace dv::cli {

std::string DateTimeText(const CDateTime& value) {
    return value.Format("%Y-%m-%d %H:%M:%S");
}

Json DateTimeList(const std::vector<CDateTime>& values) {
    Json list = Json::array();
    for (const CDateTime& value : values) {
        list.push_back(DateTimeText(value));
    }
    return list;
}

Json EventJson(const CDateEntry& event) {
    const DateData& d = event.GetData();
    Json json;
    json["GUID"] = d.GUID;
    json["StorageType"] = d.StorageType;
    json["Category"] = d.Category;
    json["Description"] = d.Description;
    json["Notes"] = d.Notes;
    json["Display"] = d.Display;
    json["DisplayColor"] = d.DisplayColor;
    json["FontColor"] = d.FontColor;
    json["StartDate"] = DateTimeText(d.StartDate);
    json["EndDate"] = DateTimeText(d.EndDate);
    json["ShowStartTime"] = d.ShowStartTime;
    json["ShowEnd"] = d.ShowEnd;
    json["Repeat"] = d.Repeat;
    json["RepeatRate"] = d.RepeatRate;
    json["RepeatUnit"] = d.RepeatUnit;
    json["RepeatWeekdayCount"] = d.RepeatWeekdayCount;
    json["RepeatWeekday"] = d.RepeatWeekday;
    json["RepeatEnd"] = d.RepeatEnd;
    json["RepeatEndCount"] = d.RepeatEndCount;
    json["RepeatEndDate"] = DateTimeText(d.RepeatEndDate);
    json["CondWeekdays"] = d.CondWeekdays;
    json["CondMonth"] = d.CondMonth;
    json["Forewarn"] = d.Forewarn;
    json["ForewarnSpan"] = d.ForewarnSpan;
    json["ForewarnUnit"] = d.ForewarnUnit;
    json["ForewarnSilent"] = d.ForewarnSilent;
    json["SnoozeSpan"] = d.SnoozeSpan;
    json["SnoozeUnit"] = d.SnoozeUnit;
    json["SnoozeType"] = d.SnoozeType;
    json["OverdueAction"] = d.OverdueAction;
    json["ExecuteSpan"] = d.ExecuteSpan;
    json["ExecuteUnit"] = d.ExecuteUnit;
    json["Action"] = d.Action;
    json["Sound"] = d.Sound;
    json["SoundFile"] = d.SoundFile;
    json["SoundRepeatEndless"] = d.SoundRepeatEndless;
    json["SoundRepeatCount"] = d.SoundRepeatCount;
    json["DocumentFile"] = d.DocumentFile;
    json["AckOpen"] = d.AckOpen;
    json["CmdLine"] = d.CmdLine;
    json["Parameter"] = d.Parameter;
    json["AckExecute"] = d.AckExecute;
    Json state;
    state["LastCheck"] = DateTimeText(event.GetLastCheck());
    state["LastOccurrenceEnd"] = DateTimeText(event.GetLastOccurrenceEnd());
    state["LastOccurrenceKnown"] = event.IsLastOccurrenceKnown() ? 1 : 0;
    state["DueOccurrences"] = DateTimeList(event.GetDueOccurrences());
    state["AcknowledgedOccurrences"] = DateTimeList(event.GetAcknowledgedOccurrences());
    state["SnoozedOccurrences"] = DateTimeList(event.GetSnoozedOccurrences());
    state["SnoozeTimes"] = DateTimeList(event.GetSnoozeTimes());
    state["DroppedOccurrences"] = DateTimeList(event.GetDroppedOccurrences());
    json["state"] = std::move(state);
    return json;
}

Json TodoJson(const CTodoEntry& todo) {
    const TodoData& d = todo.GetData();
    Json json;
    json["GUID"] = d.GUID;
    json["StorageType"] = d.StorageType;
    json["Group"] = d.Group;
    json["Description"] = d.Description;
    json["Notes"] = d.Notes;
    json["Deadline"] = DateTimeText(d.Deadline);
    json["ShowDeadline"] = d.ShowDeadline;
    json["ShowDeadlineTime"] = d.ShowDeadlineTime;
    json["Forewarn"] = d.Forewarn;
    json["ForewarnSpan"] = d.ForewarnSpan;
    json["ForewarnUnit"] = d.ForewarnUnit;
    json["Priority"] = d.Priority;
    json["AssociateDocumentFile"] = d.AssociateDocumentFile;
    json["DocumentFile"] = d.DocumentFile;
    json["Done"] = todo.IsDone() ? 1 : 0;
    json["CurrentTime"] = DateTimeText(todo.GetCurrentTime());
    return json;
}

} // namespace dv::cli
