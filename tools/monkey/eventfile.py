"""Event files for driving the program: a text backup with events whose reminders fall due at
given moments, turned into an event file by `dayvault-cli restore`."""
import datetime
import random
import subprocess
import uuid

FIELDS = """StorageType=0
Category={category}
Description={description}
Notes={notes}
Display={display}
DisplayColor=192,192,192
FontColor=0,0,0
StartDate={start}
EndDate={end}
ShowStartTime=1
ShowEnd=1
Repeat={repeat}
RepeatRate={rate}
RepeatUnit={unit}
RepeatWeekdayCount=0
RepeatWeekday=0
RepeatEnd=0
RepeatEndCount=1
RepeatEndDate={start}
CondWeekdays=127
CondMonth=4095
Forewarn={forewarn}
ForewarnSpan={forewarn_span}
ForewarnUnit=0
ForewarnSilent={silent}
SnoozeSpan={snooze}
SnoozeUnit=0
SnoozeType=0
OverdueAction=0
ExecuteSpan=1
ExecuteUnit=1
Action=0
Sound=0
SoundFile=
SoundRepeatEndless=1
SoundRepeatCount=3
DocumentFile=
AckOpen=0
CmdLine=
Parameter=
AckExecute=0
"""

CATEGORIES = ["Event", "Work", "Private"]


def stamp(moment):
    return moment.strftime("%Y %m %d %H %M %S")


def guid(rng):
    return "{" + str(uuid.UUID(int=rng.getrandbits(128), version=4)).upper() + "}"


def entry(rng, description, start, minutes=60, forewarn=None, notes="", repeat=(0, 0, 0),
          display=0, silent=0):
    """One event record; `forewarn` minutes ahead of `start` (None: no reminder); a silent
    reminder only counts in the notification area."""
    return FIELDS.format(
        category=rng.choice(CATEGORIES), description=description, notes=notes,
        display=display, start=stamp(start), end=stamp(start + datetime.timedelta(minutes=minutes)),
        repeat=repeat[0], rate=repeat[1], unit=repeat[2],
        forewarn=0 if forewarn is None else 1, forewarn_span=forewarn or 0,
        silent=silent, snooze=rng.choice([1, 2, 5]))


def backup_text(rng, due_times, texts, now):
    """The templates, an event with a reminder for each moment of `due_times` (descriptions
    from `texts`), and everyday events around `now` for the pages to show."""
    parts = []
    for index, category in enumerate(CATEGORIES):
        parts.append(f"[Template {index}]\nGUID={guid(rng)}\n" + FIELDS.format(
            category=category, description="", notes="", display=0, start=stamp(now),
            end=stamp(now), repeat=0, rate=0, unit=0, forewarn=0, forewarn_span=0, silent=0,
            snooze=5))
    events = []
    for index, due in enumerate(due_times):
        forewarn = rng.choice([0, 1, 5])
        # One in ten after the first is silent: counted in the notification area, no window.
        silent = 1 if index > 0 and rng.random() < 0.1 else 0
        events.append(entry(rng, rng.choice(texts), due + datetime.timedelta(minutes=forewarn),
                            forewarn=forewarn, notes=rng.choice(texts), silent=silent))
    for day in range(-20, 40, 2):
        start = (now + datetime.timedelta(days=day)).replace(hour=rng.randrange(7, 21),
                                                             minute=rng.choice([0, 15, 30, 45]),
                                                             second=0, microsecond=0)
        events.append(entry(rng, rng.choice(texts), start, minutes=rng.choice([30, 60, 90]),
                            display=rng.choice([0, 0, 2, 3])))
    events.append(entry(rng, "Weekly $ review", now.replace(hour=8, minute=0, second=0,
                                                            microsecond=0),
                        repeat=(1, 1, 3)))
    for index, record in enumerate(events):
        parts.append(f"[DateEntry {index}]\nGUID={guid(rng)}\n" + record)
    return "\n".join(parts)


def write_event_file(cli, path, rng, due_times, texts, now=None):
    """Writes the event file `path` through `cli restore`; raises on failure."""
    now = now or datetime.datetime.now().replace(microsecond=0)
    text = backup_text(rng, due_times, texts, now)
    source = str(path) + ".txt"
    # Backups are Windows-1252 text; what that code page cannot hold is left out of the file.
    with open(source, "w", encoding="cp1252", errors="replace", newline="\r\n") as f:
        f.write(text)
    result = subprocess.run([cli, "restore", source, str(path)], capture_output=True, text=True,
                            timeout=120)
    if result.returncode != 0:
        raise RuntimeError(f"dayvault-cli restore failed: {result.stderr.strip()}")
    return path


if __name__ == "__main__":
    import sys
    soon = datetime.datetime.now().replace(microsecond=0) + datetime.timedelta(seconds=20)
    write_event_file(sys.argv[1], sys.argv[2], random.Random(1), [soon], ["Probe $ über"])
