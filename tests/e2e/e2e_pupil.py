"""End to end: the real quorvane binary under Xvfb, driven with real mouse clicks, typing
and drags, in a fresh data folder.

First pupil of "Prima  C": the seven tests from the first question to "IL TEST E' FINITO",
some answers wrong on purpose; the archive then shows the exact scores, "Finito" and every
minutes field, and the file holds the same.

Second pupil: the same chain with interruptions. "Esco" in the middle of three different
tests, and the process killed (SIGKILL) in the middle of each of the seven, with an answer
half given on screen; after each, "RIPRENDO UN TEST INTERROTTO" must land on the same
question, sentence, set, half or place with the score carried on, the answer on screen
being the only thing lost, and PRAGMA integrity_check must stay "ok"."""

import os
import sqlite3
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(__file__))
import battery as b  # noqa: E402
import driver as d  # noqa: E402

TABLE = "prima-C"
MINUTES = ["temlettura", "temgram", "temlogica", "temfrasi", "temcause", "temcrono",
           "temfisica", "tempolitica"]
FINITO = "IL TEST E' FINITO......ora puoi controllare i risultati nell'ARCHIVIO, o uscire dal programma"


def check(cond, what):
    if not cond:
        raise d.DriverError(what)
    print("ok:", what, flush=True)


class Run:
    def __init__(self, display, binary, work, surname, name):
        self.display, self.binary, self.work = display, binary, work
        self.surname, self.name = surname, name
        self.full = f"{surname} {name}".upper()
        self.p = None

    def record(self):
        rows = [r for r in d.records(self.work, TABLE) if r["nome"] == self.full]
        if len(rows) != 1:
            raise d.DriverError(f"{len(rows)} records for {self.full}")
        return rows[0]

    def start(self, mode, empty_class=False):
        self.p = d.Program(self.display, self.binary, self.work)
        p = self.p
        p.window_shown("FLINIZIO")
        p.click_name("FLINIZIO", "LabAVVIO")
        p.click_name("FLINIZIO", "Label1_2")
        p.click_name("FLINIZIO", mode)
        if empty_class:
            check(p.answer("OK") == "L'archivio è vuoto...", "empty class reported")
        p.window_shown("FrmNOME")
        p.type_into("FrmNOME", "Text1", self.surname)
        p.type_into("FrmNOME", "Text4", self.name)
        p.click_name("FrmNOME", "CmdOK")
        return p

    def resume(self, window):
        self.start("LabCONTINUAZIONE")
        self.p.window_shown(window)
        return self.p

    def esco(self, window, fields, what):
        self.p.click_name(window, "Labesco")
        self.p.wait_exit()
        rec = self.record()
        got = {k: rec[k] for k in fields}
        check(got == fields, f"Esco {what}: stored {fields} (got {got})")

    def kill(self, fields, what):
        """SIGKILL with an answer half given; the record holds the last finished step."""
        time.sleep(0.3)
        self.p.kill()
        check(d.integrity(self.work) == "ok", f"integrity_check after SIGKILL {what}")
        rec = self.record()
        got = {k: rec[k] for k in fields}
        check(got == fields, f"SIGKILL {what}: record holds {fields} (got {got})")


# --- first pupil: the whole chain --------------------------------------------------------
def first_pupil(r, sets, dates, premises):
    p = r.start("Labinizio", empty_class=True)
    p.window_shown("FLETTURA")
    began = time.time()
    wrong_reading = {1, 20}
    for q in range(1, 35):
        b.lettura_step(p, q, right=q not in wrong_reading)
    p.window_shown("FLgrasem")

    gram = b.analysis_sentences(r.work, b.ANALISI["FLgrasem"])
    for s in range(1, 7):
        b.analysis_step(p, "FLgrasem", gram, s, wrong_box=0 if s == 1 else None, next_window="FLogsem")
    logic = b.analysis_sentences(r.work, b.ANALISI["FLogsem"])
    for s in range(1, 7):
        b.analysis_step(p, "FLogsem", logic, s, wrong_box=1 if s == 3 else None, next_window="FLfrasi")

    for q in range(1, 13):
        b.frasi_step(p, premises, q, right=q != 5)

    swaps = {2: (0, 2), 7: (0, 1), 8: (2, 3)}
    for n in range(1, 10):
        b.cause_step(p, sets, n, swaps.get(n))
    b.crono_step(p, dates, 1, swap=(0, 1))
    b.crono_step(p, dates, 2)

    for n in range(1, 23):
        b.map_step(p, False, n, right=n != 3)
    for n in range(1, 21):
        b.map_step(p, True, n, right=n != 4)
    ended = time.time()
    check(p.answer("OK") == FINITO, "the end of the battery announced")
    p.window_shown("FLINIZIO")

    reading = b.lettura_scores(wrong_reading)
    expected = dict(reading)
    expected.update(gramsem=sum(len(c) for _, c in gram) - 1, logsem=sum(len(c) for _, c in logic) - 1,
                    frasi1=11,
                    causasem=sum(b.cause_points(n, swaps.get(n)) for n in range(1, 6)),
                    causacom=sum(b.cause_points(n, swaps.get(n)) for n in range(6, 10)),
                    cronolog=18, elemfis=21, elempol=38, arrivo=10, sub=20)
    check((expected["gramsem"], expected["logsem"], expected["causasem"], expected["causacom"])
          == (52, 33, 13, 14), "expected scores worked out")
    rec = r.record()
    got = {k: rec[k] for k in expected}
    check(got == expected, f"every score stored exactly: {expected}")
    check(all(rec[m] is not None and rec[m] >= 0 for m in MINUTES), "every minutes field filled")
    # The stretches follow one another without a gap, so together they count the minute
    # boundaries of the whole run: its length in minutes, give or take one.
    total, elapsed = sum(rec[m] for m in MINUTES), (ended - began) / 60
    check(abs(total - elapsed) <= 1.1, f"minutes add up to the run: {total} for {elapsed:.2f}")
    return rec


# --- second pupil: leaving and killing in the middle ---------------------------------------
def second_pupil(r, sets, dates, premises):
    # Reading: killed at question 7, "Esco" at question 16.
    p = r.start("Labinizio")
    for q in range(1, 7):
        b.lettura_step(p, q)
    b.lettura_at(p, 7)
    b.lettura_tick(p, 7, True)
    r.kill({"arrivo": 1, "sub": 7, "lessico1": 4, "fatti1": 2}, "at reading question 7")
    p = r.resume("FLETTURA")
    b.lettura_at(p, 7)
    check(not any(w.get("checked") for w in p.widgets() if w.get("name", "").startswith("Check1_")),
          "the half-given answer is gone")
    for q in range(7, 16):
        b.lettura_step(p, q)
    r.esco("FLETTURA", {"arrivo": 2, "sub": 16, "fatti2": 2}, "at reading question 16")
    p = r.resume("FLETTURA")
    b.lettura_at(p, 16)
    for q in range(16, 35):
        b.lettura_step(p, q)
    p.window_shown("FLgrasem")

    # Grammar: killed at sentence 3 with two boxes filled.
    gram = b.analysis_sentences(r.work, b.ANALISI["FLgrasem"])
    for s in (1, 2):
        b.analysis_step(p, "FLgrasem", gram, s)
    b.analysis_at(p, "FLgrasem", gram[2])
    b.analysis_fill(p, "FLgrasem", gram[2], boxes=[0, 1])
    done = len(gram[0][1]) + len(gram[1][1])
    r.kill({"arrivo": 3, "sub": 3, "gramsem": done}, "at grammar sentence 3")
    p = r.resume("FLgrasem")
    b.analysis_at(p, "FLgrasem", gram[2])
    check(b.text_of(p, "FLgrasem", "Label2_0") == "", "the dropped boxes are empty again")
    for s in range(3, 7):
        b.analysis_step(p, "FLgrasem", gram, s, next_window="FLogsem")

    # Logic: "Esco" at sentence 2, killed at sentence 4.
    logic = b.analysis_sentences(r.work, b.ANALISI["FLogsem"])
    b.analysis_step(p, "FLogsem", logic, 1)
    r.esco("FLogsem", {"arrivo": 5, "sub": 2, "logsem": len(logic[0][1])}, "at logic sentence 2")
    p = r.resume("FLogsem")
    for s in (2, 3):
        b.analysis_step(p, "FLogsem", logic, s)
    b.analysis_at(p, "FLogsem", logic[3])
    b.analysis_fill(p, "FLogsem", logic[3], boxes=[0])
    r.kill({"arrivo": 5, "sub": 4, "logsem": sum(len(c) for _, c in logic[:3])}, "at logic sentence 4")
    p = r.resume("FLogsem")
    for s in range(4, 7):
        b.analysis_step(p, "FLogsem", logic, s, next_window="FLfrasi")

    # Sentences: killed at question 5 with a box ticked.
    for q in range(1, 5):
        b.frasi_step(p, premises, q)
    b.frasi_at(p, premises, 5)
    b.frasi_tick(p, 5, True)
    r.kill({"arrivo": 6, "sub": 5, "frasi1": 4}, "at sentence question 5")
    p = r.resume("FLfrasi")
    for q in range(5, 13):
        b.frasi_step(p, premises, q)

    # Causal schemes: killed in set 4, "Esco" at set 7 (the complex scheme).
    for n in range(1, 4):
        b.cause_step(p, sets, n)
    b.cause_at(p, sets, 4)
    b.cause_fill(p, sets, 4, boxes=[0, 1])
    r.kill({"arrivo": 7, "sub": 4, "causasem": 9}, "in causal set 4")
    p = r.resume("FLstoria1")
    check(b.text_of(p, "FLstoria1", "Label1_0") == "", "the scheme is empty again")
    for n in range(4, 7):
        b.cause_step(p, sets, n)
    r.esco("FLstoria1", {"arrivo": 7, "sub": 7, "causasem": 15, "causacom": 4}, "at causal set 7")
    p = r.resume("FLstoria1")
    for n in range(7, 10):
        b.cause_step(p, sets, n)

    # Chronology: killed in the second half.
    b.crono_step(p, dates, 1)
    b.crono_fill(p, dates, boxes=[0, 1, 2])
    r.kill({"arrivo": 8, "sub": 2, "cronolog": 10}, "in the second half of the chronology")
    p = r.resume("FLstoria2")
    b.crono_step(p, dates, 2)

    # Maps: killed at physical place 6 and at political place 4, each with a name chosen.
    for n in range(1, 6):
        b.map_step(p, False, n)
    b.map_at(p, False, 6)
    b.map_choose(p, False, 6)
    r.kill({"arrivo": 9, "sub": 6, "elemfis": 5}, "at physical place 6")
    p = r.resume("FLcartge")
    b.map_at(p, False, 6)
    check(b.text_of(p, "FLcartge", "Label2") == "", "the chosen name is gone")
    for n in range(6, 23):
        b.map_step(p, False, n)
    for n in range(1, 4):
        b.map_step(p, True, n)
    b.map_at(p, True, 4)
    b.map_choose(p, True, 4)
    r.kill({"arrivo": 10, "sub": 4, "elempol": 6, "elemfis": 22}, "at political place 4")
    p = r.resume("FLcartge")
    for n in range(4, 21):
        b.map_step(p, True, n)
    check(p.answer("OK") == FINITO, "the end of the battery announced after the interruptions")
    p.window_shown("FLINIZIO")

    expected = b.lettura_scores(set())
    expected.update(gramsem=sum(len(c) for _, c in gram), logsem=sum(len(c) for _, c in logic), frasi1=12,
                    causasem=15, causacom=16, cronolog=20, elemfis=22, elempol=40, arrivo=10, sub=20)
    rec = r.record()
    got = {k: rec[k] for k in expected}
    check(got == expected, f"every score stored exactly after the interruptions: {expected}")
    check(all(rec[m] is not None and rec[m] >= 0 for m in MINUTES), "every minutes field filled")
    return rec


# --- the archive -------------------------------------------------------------------------
GRID = {  # archive control -> the record fields it shows (summed when two)
    "Label6_0": ("fatti1", "fatti2"), "Label6_1": ("lessico1",), "Label6_2": ("inferen1", "inferen2"),
    "Label6_3": ("scopi2",), "Label6_4": ("sintesi1", "sintesi2"), "Label6_5": ("gramsem",),
    "Label6_6": ("temgram",), "Label6_7": ("logsem",), "Label6_8": ("frasi1",),
    "Label6_9": ("causasem",), "Label6_10": ("causacom",), "Label6_11": ("cronolog",),
    "Label6_12": ("elemfis",), "Label6_13": ("elempol",), "Label14": ("temlettura",),
    "Label22": ("temlogica",), "Label16": ("temfrasi",), "Label19": ("temcause",),
    "Label20": ("temcrono",), "Label27": ("temfisica",), "Label24": ("tempolitica",),
}


def check_grid(p, rec):
    p.wait(lambda ws: any(w.get("window") == "FLstampa" and w.get("name") == "Label7"
                          and (w.get("text") or "").strip() == rec["nome"] for w in ws) or None,
           f"{rec['nome']} shown in the archive")
    check(b.text_of(p, "FLstampa", "Label12") == "Finito", f"{rec['nome']}: \"Finito\"")
    for name, fields in GRID.items():
        want = str(sum(rec[f] for f in fields))
        check(b.text_of(p, "FLstampa", name) == want, f"{rec['nome']}: {name} shows {want}")


def archive(display, binary, work, records):
    p = d.Program(display, binary, work)
    p.window_shown("FLINIZIO")
    p.click_name("FLINIZIO", "Labarchivio")
    # The first opening: the teacher chooses the archive's password, typed twice.
    p.window_shown("FrmPASSWORD")
    p.type_into("FrmPASSWORD", "Text1", "maestra1")
    p.type_into("FrmPASSWORD", "Text2", "maestra1")
    p.click_name("FrmPASSWORD", "cmdOK")
    p.wait_gone("FrmPASSWORD")
    check(p.answer("OK").startswith("La password è stata salvata."), "archive password chosen")
    p.window_shown("FLstampa")
    # The archive opens on the class last used; its own captions are "prima  A"...
    p.find("FLstampa", "Label8")
    if b.text_of(p, "FLstampa", "Label8") != "prima  C":
        p.click_name("FLstampa", "cmdaltraclasse")
        p.click_name("FLstampa", "Label9_2")
    b.wait_text(p, "FLstampa", "Label8", "prima  C", "class prima  C loaded")
    for rec in records:
        items = p.find("FLstampa", "List1")["items"]
        b.list_item(p, "List1", [i.strip() for i in items].index(rec["nome"]), window="FLstampa")
        check_grid(p, rec)
    p.click_name("FLstampa", "CMDESCO")
    p.wait_exit()


# The score fields each test's logged answers count toward.
LOGGED = {
    "lettura": ["fatti1", "fatti2", "inferen1", "inferen2", "lessico1", "scopi2", "sintesi1", "sintesi2"],
    "grammatica": ["gramsem"], "logica": ["logsem"], "frasi": ["frasi1"], "cause": ["causasem", "causacom"],
    "cronologia": ["cronolog"], "fisica": ["elemfis"], "politica": ["elempol"],
}


def answers_agree(work):
    """After every interruption and kill, the answer log and the record still agree: the
    right answers logged for a test add up to the test's stored scores."""
    con = sqlite3.connect(os.path.join(work, "Perquorvane", "quorvane.mdb"))
    try:
        for rec in d.records(work, TABLE):
            for prova, fields in LOGGED.items():
                logged = con.execute("SELECT coalesce(sum(giusta), 0) FROM risposte WHERE classe = ? AND data = ? "
                                     "AND prova = ?", (TABLE, rec["data"], prova)).fetchone()[0]
                stored = sum(rec[f] or 0 for f in fields)
                check(logged == stored, f"{rec['nome']}: {prova} logs {logged} right answers, stores {stored}")
    finally:
        con.close()


def main():
    bin_dir = os.path.abspath(sys.argv[1])
    work = tempfile.mkdtemp(prefix="quorvane-e2e-")
    d.prepare(bin_dir, work)
    # The program with its test hooks (the widget map); the installed one has none.
    binary = os.path.join(bin_dir, "quorvane_test")
    sets, dates, premises = b.cause_sets(), b.chronology(), b.frasi_premises()
    display = d.Display()
    started = time.time()
    try:
        first_run = Run(display, binary, work, "D'Angelo", "Niccolo")
        first = first_pupil(first_run, sets, dates, premises)
        # One program at a time on the display: both would write the same widget map.
        first_run.p.click_name("FLINIZIO", "labUSCITA")
        first_run.p.wait_exit()
        second_run = Run(display, binary, work, "Bianchi", "Sara")
        second = second_pupil(second_run, sets, dates, premises)
        second_run.p.click_name("FLINIZIO", "labUSCITA")
        second_run.p.wait_exit()
        archive(display, binary, work, [first, second])
        check(len(d.records(work, TABLE)) == 2, "two records in the class, no more")
        answers_agree(work)
        check(d.integrity(work) == "ok", "integrity_check at the end")
    finally:
        display.close()
    print(f"e2e passed in {time.time() - started:.0f} s")


if __name__ == "__main__":
    main()
