"""End to end: the real quorvane binary under Xvfb, driven with real mouse clicks, typing
and drags. A new pupil of "Prima  C" answers the whole reading test (two answers wrong),
does a grammar sentence with real drags (one box wrong), leaves with "Esco", resumes through
"RIPRENDO UN TEST INTERROTTO" at the next sentence with the score carried on, and the
process is then killed (SIGKILL) in the middle: the database stays intact."""

import os
import sqlite3
import sys
import tempfile

sys.path.insert(0, os.path.dirname(__file__))
import driver as d  # noqa: E402

# Correct option of each reading question 1..34.
KEYS = [4, 3, 2, 1, 3, 2, 2, 4, 1, 3, 1, 4, 2,
        3, 3, 1, 2, 1, 4, 4, 3, 3, 1, 3, 3, 2, 1, 2, 3, 1, 1, 4, 3, 2]
WRONG = {1, 20}  # question 1 (vocabulary) and 20 (inference, passage 2) answered wrong


def check(cond, what):
    if not cond:
        raise d.DriverError(what)
    print("ok:", what, flush=True)


def grammar_rows(work):
    con = sqlite3.connect(os.path.join(work, "Perquorvane", "quorvane.mdb"))
    try:
        rows = con.execute('SELECT * FROM a_grammaticale ORDER BY ordine').fetchall()
    finally:
        con.close()
    out = []
    for r in rows:
        n = r[1]
        out.append((list(r[2:2 + n]), list(r[12:12 + n])))
    return out


def choose_class_c(p, mode):
    p.window_shown("FLINIZIO")
    p.click_name("FLINIZIO", "LabAVVIO")
    p.click_name("FLINIZIO", "Label1_2")
    p.click_name("FLINIZIO", mode)


def type_name(p):
    p.window_shown("FrmNOME")
    p.type_into("FrmNOME", "Text1", "D'Angelo")
    p.type_into("FrmNOME", "Text4", "Niccolo")
    p.click_name("FrmNOME", "CmdOK")


def source_with(p, text):
    for i in range(8):
        w = p.get("FLgrasem", f"Label1_{i}")
        if w and w.get("text") == text:
            return w
    raise d.DriverError(f"no category {text}")


def fill_sentence(p, categories, wrong_index=None):
    for k, cat in enumerate(categories):
        if k == wrong_index:
            cat = "Avverbio" if cat != "Avverbio" else "Nome"
        target = p.find("FLgrasem", f"Label2_{k}")
        p.drag(source_with(p, cat), target)
        p.wait(lambda ws, k=k, cat=cat: any(w.get("name") == f"Label2_{k}" and w.get("text") == cat
                                            for w in ws) or None, f"drop of {cat} on box {k}")


def main():
    bin_dir = sys.argv[1]
    work = tempfile.mkdtemp(prefix="quorvane-e2e-")
    d.prepare(bin_dir, work)
    binary = os.path.join(bin_dir, "quorvane")
    display = d.Display()
    try:
        # --- first run: new pupil -----------------------------------------------------
        p = d.Program(display, binary, work)
        choose_class_c(p, "Labinizio")
        check(p.answer("OK") == "L'archivio è vuoto...", "empty class reported")
        type_name(p)
        p.window_shown("FLETTURA")
        for q, key in enumerate(KEYS, start=1):
            p.find("FLETTURA", "Check1_0")
            option = (key % 4) + 1 if q in WRONG else key
            p.click_name("FLETTURA", f"Check1_{option - 1}")
            p.wait(lambda ws, o=option: any(w.get("name") == f"Check1_{o - 1}" and w.get("checked")
                                            for w in ws) or None, f"box ticked at question {q}")
            p.click_name("FLETTURA", "Labseguente")
            if q < 34:
                shown = 1 + (q if q < 13 else q - 13)
                p.wait(lambda ws, s=shown: any(w.get("name") == "Labris_0"
                                               and w.get("text", "").startswith(f" {s}.") for w in ws)
                       or None, f"question {q + 1} shown")
        p.window_shown("FLgrasem")
        rec = d.records(work, "prima-C")[0]
        check(rec["nome"] == "D'ANGELO NICCOLO", "name stored upper case")
        check((rec["lessico1"], rec["fatti1"], rec["inferen1"], rec["sintesi1"]) == (5, 3, 3, 1),
              "passage 1 scores")
        check((rec["fatti2"], rec["inferen2"], rec["scopi2"], rec["sintesi2"]) == (6, 9, 4, 1),
              "passage 2 scores")
        check((rec["arrivo"], rec["sub"]) == (3, 1) and rec["temlettura"] is not None,
              "reading done, minutes filled")

        rows = grammar_rows(work)
        elements, cats = rows[0]
        check(p.find("FLgrasem", "Label6_0").get("text") == elements[0], "first sentence shown")
        fill_sentence(p, cats, wrong_index=0)
        p.click_name("FLgrasem", "Labseguente")
        p.wait(lambda ws: any(w.get("name") == "Label6_0" and w.get("text") == rows[1][0][0]
                              for w in ws) or None, "second sentence shown")
        p.click_name("FLgrasem", "Labesco")
        p.wait_exit()
        rec = d.records(work, "prima-C")[0]
        check((rec["arrivo"], rec["sub"], rec["gramsem"]) == (3, 2, len(cats) - 1),
              "Esco stores sentence 2 and the score of sentence 1")
        check(rec["temgram"] is not None, "grammar minutes filled")

        # --- second run: resume -------------------------------------------------------
        p = d.Program(display, binary, work)
        choose_class_c(p, "LabCONTINUAZIONE")
        type_name(p)
        p.window_shown("FLgrasem")
        check(p.find("FLgrasem", "Label6_0").get("text") == rows[1][0][0], "resumed at sentence 2")
        fill_sentence(p, rows[1][1])
        p.kill()
        check(d.integrity(work) == "ok", "integrity_check after SIGKILL")
        rec = d.records(work, "prima-C")
        check(len(rec) == 1 and rec[0]["arrivo"] == 3, "record intact after SIGKILL")
    finally:
        display.close()
    print("e2e passed")


if __name__ == "__main__":
    main()
