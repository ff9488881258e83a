"""How a pupil answers each of the seven tests on the real program: one step (question,
sentence, set, half or place) at a time, right or wrong on purpose, through the driver's
real clicks and drags. The answer keys of the reading and sentence tests are written here
independently of the program; the statements and dates of the history tests, and the
sentences of the analysis tests, are read from the program's own content."""

import os
import re
import sqlite3

import driver as d

SOURCE = os.path.normpath(os.path.join(os.path.dirname(__file__), "..", ".."))

# Correct option (1..4) of each reading question 1..34 and of each sentence question 1..12.
LETTURA_KEYS = [4, 3, 2, 1, 3, 2, 2, 4, 1, 3, 1, 4, 2,
                3, 3, 1, 2, 1, 4, 4, 3, 3, 1, 3, 3, 2, 1, 2, 3, 1, 1, 4, 3, 2]
FRASI_KEYS = [3, 1, 2, 4, 2, 4, 3, 2, 4, 3, 2, 4]

# Which score each reading question counts for.
_PASSAGE1 = {1: "lessico1", 2: "fatti1", 3: "lessico1", 4: "lessico1", 5: "fatti1", 6: "lessico1",
             7: "lessico1", 8: "lessico1", 9: "inferen1", 10: "inferen1", 11: "inferen1",
             12: "fatti1", 13: "sintesi1"}
LETTURA_FIELDS = ([_PASSAGE1[q] for q in range(1, 14)]
                  + ["fatti2"] * 6 + ["inferen2"] * 10 + ["scopi2"] * 4 + ["sintesi2"])

ANALISI = {"FLgrasem": "a_grammaticale", "FLogsem": "A_logica"}
CAUSE_SETS = 9
CAUSE_SIMPLE = 5


def _read(rel):
    with open(os.path.join(SOURCE, rel), encoding="utf-8") as f:
        return f.read()


def _literals(text):
    return "".join(re.findall(r'"((?:[^"\\]|\\.)*)"', text))


def cause_sets():
    """The statements of each causal set, in the order of the boxes they belong in."""
    src = _read("src/battery/analysis/storiacontent.cpp")
    blocks = re.split(r"//\s*\d+:", src)[1:]
    sets = [[_literals(m) for m in re.findall(r'QStringLiteral\(((?:\s*"[^"]*")+)\s*\)', b)]
            for b in blocks]
    assert len(sets) == CAUSE_SETS, sets
    return sets


def chronology():
    """Event text -> its date."""
    src = _read("src/battery/analysis/cronologiacontent.cpp")
    pairs = re.findall(r'\{QStringLiteral\("([^"]*)"\),\s*QStringLiteral\(((?:\s*"[^"]*")+)\s*\)\}', src)
    assert len(pairs) == 20, pairs
    return {_literals(text).strip(): date for date, text in pairs}


def frasi_premises():
    src = _read("src/battery/comprehension/frasicontent.cpp")
    found = re.findall(r'\{((?:\s*u"[^"]*")+),\s*\{', src)
    assert len(found) == 12, found
    return [_literals(f).strip() for f in found]


def analysis_sentences(work, table):
    """(elements, categories) of each sentence of a content table, in order."""
    con = sqlite3.connect(os.path.join(work, "Perquorvane", "quorvane.mdb"))
    try:
        rows = con.execute(f'SELECT * FROM "{table}" ORDER BY ordine').fetchall()
    finally:
        con.close()
    return [(list(r[2:2 + r[1]]), list(r[12:12 + r[1]])) for r in rows]


def text_of(p, window, name):
    w = p.get(window, name)
    return (w.get("text") or "").strip() if w else None


def wait_text(p, window, name, expected, what, timeout=15):
    return p.wait(lambda ws: any(w.get("window") == window and w.get("name") == name
                                 and (w.get("text") or "").strip() == expected for w in ws) or None,
                  what, timeout)


def drag_until(p, window, src, dst, expected):
    """Drags src onto dst and waits for dst to show the caption; one retry if the drop
    did not take (a drag that starts before the pointer settles is lost, as by hand)."""
    for attempt in range(2):
        p.drag(src, dst)
        try:
            return wait_text(p, window, dst["name"], expected, f"drop on {window}.{dst['name']}",
                             timeout=3 if attempt == 0 else 10)
        except d.DriverError:
            if attempt:
                raise


# --- reading ---------------------------------------------------------------------------
def lettura_number(q):
    """The number question q carries on screen (each passage counts from 1)."""
    return q if q <= 13 else q - 13


def lettura_at(p, q, timeout=15):
    p.wait(lambda ws: any(w.get("window") == "FLETTURA" and w.get("name") == "Labris_0"
                          and w.get("text", "").startswith(f" {lettura_number(q)}.") for w in ws) or None,
           f"reading question {q} shown", timeout)


def lettura_tick(p, q, right):
    key = LETTURA_KEYS[q - 1]
    option = key if right else key % 4 + 1
    p.click_name("FLETTURA", f"Check1_{option - 1}")
    p.wait(lambda ws: any(w.get("name") == f"Check1_{option - 1}" and w.get("checked") for w in ws) or None,
           f"box ticked at reading question {q}")


def lettura_step(p, q, right=True):
    lettura_at(p, q)
    lettura_tick(p, q, right)
    p.click_name("FLETTURA", "Labseguente")
    if q < 34:
        lettura_at(p, q + 1)


def lettura_scores(wrong):
    scores = {f: 0 for f in LETTURA_FIELDS}
    for q, f in enumerate(LETTURA_FIELDS, start=1):
        if q not in wrong:
            scores[f] += 1
    return scores


# --- grammar and logic -----------------------------------------------------------------
def analysis_at(p, window, sentence):
    elements = sentence[0]
    p.wait(lambda ws: all(any(w.get("window") == window and w.get("name") == f"Label6_{k}"
                              and (w.get("text") or "").strip() == e.strip() for w in ws)
                          for k, e in enumerate(elements)) or None,
           f"{window} sentence starting {elements[0]!r} shown")


def analysis_fill(p, window, sentence, wrong_box=None, boxes=None):
    p.find(window, "Label1_0")
    sources = [w for w in p.widgets() if w.get("window") == window and w.get("name", "").startswith("Label1_")]
    by_text = {(w.get("text") or "").strip(): w for w in sources}
    cats = sentence[1]
    for k in (range(len(cats)) if boxes is None else boxes):
        cat = cats[k].strip()
        if k == wrong_box:
            cat = next(t for t in by_text if t and t != cat)
        drag_until(p, window, by_text[cat], p.find(window, f"Label2_{k}"), cat)


def analysis_step(p, window, sentences, s, wrong_box=None, next_window=None):
    """Answers sentence s (1-based) and waits for what follows."""
    analysis_at(p, window, sentences[s - 1])
    analysis_fill(p, window, sentences[s - 1], wrong_box)
    p.click_name(window, "Labseguente")
    if s < len(sentences):
        analysis_at(p, window, sentences[s])
    elif next_window:
        p.window_shown(next_window)


# --- sentences -------------------------------------------------------------------------
def frasi_at(p, premises, q):
    wait_text(p, "FLfrasi", "Label1", premises[q - 1], f"sentence question {q} shown")


def frasi_tick(p, q, right):
    key = FRASI_KEYS[q - 1]
    option = key if right else key % 4 + 1
    p.click_name("FLfrasi", f"Check1_{option - 1}")
    p.wait(lambda ws: any(w.get("window") == "FLfrasi" and w.get("name") == f"Check1_{option - 1}"
                          and w.get("checked") for w in ws) or None, f"box ticked at sentence question {q}")


def frasi_step(p, premises, q, right=True):
    frasi_at(p, premises, q)
    frasi_tick(p, q, right)
    p.click_name("FLfrasi", "Labseguente")
    if q < 12:
        frasi_at(p, premises, q + 1)
    else:
        p.window_shown("FLstoria1")


# --- causal schemes --------------------------------------------------------------------
def cause_at(p, sets, n):
    want = sorted(s.strip() for s in sets[n - 1])
    p.wait(lambda ws: sorted((w.get("text") or "").strip() for w in ws if w.get("window") == "FLstoria1"
                             and w.get("name", "").startswith("Label2_")) == want or None,
           f"causal set {n} shown")


def cause_fill(p, sets, n, swap=None, boxes=None):
    """Drops each statement into its box; swap=(i, j) puts statements i and j the wrong way."""
    order = [s.strip() for s in sets[n - 1]]
    if swap:
        i, j = swap
        order[i], order[j] = order[j], order[i]
    sources = {(w.get("text") or "").strip(): w for w in p.widgets()
               if w.get("window") == "FLstoria1" and w.get("name", "").startswith("Label2_")}
    for k in (range(len(order)) if boxes is None else boxes):
        drag_until(p, "FLstoria1", sources[order[k]], p.find("FLstoria1", f"Label1_{k}"), order[k])


def cause_step(p, sets, n, swap=None):
    cause_at(p, sets, n)
    cause_fill(p, sets, n, swap)
    p.click_name("FLstoria1", "Labnuovo")
    if n < CAUSE_SETS:
        cause_at(p, sets, n + 1)
    else:
        p.window_shown("FLstoria2")


def cause_points(n, swap):
    """Points a set earns with the given swap of boxes."""
    size = 3 if n <= CAUSE_SIMPLE else 4
    if not swap:
        return size
    if size == 4 and sorted(swap) == [0, 1]:
        return 4  # the two causes may stand in either order
    return size - 2


# --- chronology ------------------------------------------------------------------------
def crono_events(p):
    return [text_of(p, "FLstoria2", f"Label1_{r}") for r in range(10)]


def crono_at(p, dates, half):
    """Waits for a half: the first half holds the odd events of the list, the second the even."""
    order = list(dates)
    want = sorted(order[i] for i in range(half - 1, 20, 2))
    p.wait(lambda ws: sorted((w.get("text") or "").strip() for w in ws if w.get("window") == "FLstoria2"
                             and w.get("name", "").startswith("Label1_")) == want or None,
           f"chronology half {half} shown")


def crono_fill(p, dates, swap=None, boxes=None):
    events = crono_events(p)
    answer = [dates[e] for e in events]
    if swap:
        i, j = swap
        answer[i], answer[j] = answer[j], answer[i]
    sources = {(w.get("text") or "").strip(): w for w in p.widgets()
               if w.get("window") == "FLstoria2" and w.get("name", "").startswith("Label3_")}
    for r in (range(10) if boxes is None else boxes):
        drag_until(p, "FLstoria2", sources[answer[r]], p.find("FLstoria2", f"Label2_{r}"), answer[r])


def crono_step(p, dates, half, swap=None):
    crono_at(p, dates, half)
    crono_fill(p, dates, swap)
    p.click_name("FLstoria2", "Labseguente")
    if half == 1:
        crono_at(p, dates, 2)
    else:
        p.window_shown("FLcartge")


# --- maps ------------------------------------------------------------------------------
def list_item(p, name, index, window="FLcartge"):
    """Clicks item `index` of a list, scrolling it into view with the wheel if needed."""
    for _ in range(40):
        lst = p.find(window, name)
        rect = lst["rects"][index]
        if rect:
            p.click({"x": rect[0], "y": rect[1], "w": rect[2], "h": rect[3]})
            return lst["items"][index]
        x, y = p.centre(lst)
        p.xdo("mousemove", "--sync", x, y)
        first_visible = next((i for i, r in enumerate(lst["rects"]) if r), 0)
        p.xdo("click", "5" if index > first_visible else "4")
        p.wait(lambda ws: True, "scroll", 1)
    raise d.DriverError(f"item {index} of {name} never came into view")


def map_at(p, political, n):
    def pred(ws):
        lists = [w for w in ws if w.get("window") == "FLcartge" and w.get("name") == "List1"]
        if bool(lists) != political:
            return None
        return any(w.get("window") == "FLcartge" and w.get("name") == "Labnumero"
                   and w.get("text") == str(n) for w in ws) or None
    p.wait(pred, f"{'political' if political else 'physical'} place {n} shown")


def map_choose(p, political, n, right=True):
    """Picks the name(s) of place n: the lists hold the places in their order on the map."""
    total = 20 if political else 22
    index = n - 1 if right else n % total
    chosen = list_item(p, "List2", index)
    wait_text(p, "FLcartge", "Label2", chosen.strip(), f"choice {chosen!r} shown")
    if political:
        town = list_item(p, "List1", index)
        wait_text(p, "FLcartge", "Label1", town.strip(), f"choice {town!r} shown")


def map_step(p, political, n, right=True):
    map_at(p, political, n)
    map_choose(p, political, n, right)
    p.click_name("FLcartge", "cmdelemseg")
    if not political:
        map_at(p, n == 22, 1 if n == 22 else n + 1)
    elif n < 20:
        map_at(p, True, n + 1)
