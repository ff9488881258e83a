"""Accessibility audit of every screen through AT-SPI, as a screen reader sees the program.

The real quorvane binary runs under Xvfb on the accessibility bus of a private D-Bus session
(re-run under dbus-run-session when there is none), with Qt's AT-SPI bridge forced on. The
e2e driver moves through the screens: the start screen in its three states, name entry, each
of the seven tests (a pupil resumed at each in turn), the map test's two maps, the archive's
password window, the archive and its class chooser, and the teacher's windows opened from the
archive: a pupil's tools, the five pages of the class statistics, the recycle bin, the
copies, the change of password and the password asked at the next opening. On each, every
control the program's widget map marks as reacting to the mouse (a click, a drop, typing) must
be in the accessibility tree with a name, an action (press or toggle; fields and lists: taking
the focus) and keyboard focus; no push button, check box, field, list or page tab that is
showing may be nameless; and every list, table or chart must have a name and take the keyboard
focus, so that a screen reader's user can reach and read it; a chart of the statistics reads
out its values. Fails, never skips, when the
accessibility bus cannot be reached."""

import os
import re
import sqlite3
import sys
import tempfile
import time

if not os.environ.get("DBUS_SESSION_BUS_ADDRESS") and not os.environ.get("QUORVANE_AUDIT_NESTED"):
    os.environ["QUORVANE_AUDIT_NESTED"] = "1"
    os.execvp("dbus-run-session", ["dbus-run-session", "--", sys.executable, *sys.argv])

sys.path.insert(0, os.path.dirname(__file__))
import driver as d  # noqa: E402

TABLE = "prima-C"
NAMED_ROLES = {"push button", "check box", "radio button", "toggle button", "text", "entry", "password text",
               "list", "list box", "combo box", "spin button", "slider", "page tab", "menu item"}
FIELD_ROLES = {"text", "entry", "password text", "list", "list box", "table", "tree", "tree table"}
PRESS_ACTIONS = {"press", "toggle", "click", "activate"}
# (window, progress code arrivo) of a pupil resumed at each test.
RESUMED = [("FLgrasem", 3), ("FLogsem", 4), ("FLfrasi", 6), ("FLstoria1", 7), ("FLstoria2", 8),
           ("FLcartge", 9), ("FLcartge", 10)]


class Audit:
    def __init__(self, pyatspi):
        self.atspi = pyatspi
        self.failures = []
        self.screens = 0

    def application(self, pid, timeout=20):
        deadline = time.time() + timeout
        while time.time() < deadline:
            for app in self.atspi.Registry.getDesktop(0):
                try:
                    if app is not None and app.get_process_id() == pid:
                        return app
                except Exception:  # an application that has just gone away
                    continue
            time.sleep(0.2)
        raise d.DriverError("the program never appeared on the accessibility bus")

    def nodes(self, app, title=None):
        """Every showing object of the window titled `title` (of the whole application when it is
        not found): role, name, actions, extents, focusable. One window only, so that the
        archive behind a dialog is not walked again for each dialog."""
        app.clear_cache()
        found, stack = [], [w for w in app if w is not None and title is not None and w.name == title] or [app]
        while stack:
            n = stack.pop()
            # A table's cells are read through the table; walking them costs seconds.
            if n is app or n.getRoleName() not in ("table", "tree table"):
                for c in n:
                    if c is not None:
                        stack.append(c)
            if n is app:
                continue
            states = n.getState()
            if not states.contains(self.atspi.STATE_SHOWING):
                continue
            try:
                e = n.queryComponent().getExtents(self.atspi.DESKTOP_COORDS)
            except NotImplementedError:
                continue
            try:
                act = n.queryAction()
                actions = [act.getName(i) for i in range(act.nActions)]
            except NotImplementedError:
                actions = []
            found.append({"role": n.getRoleName(), "name": (n.name or "").strip(), "actions": actions,
                          "description": (n.description or "").strip(),
                          "rect": (e.x, e.y, e.width, e.height),
                          "focusable": states.contains(self.atspi.STATE_FOCUSABLE)})
        return found

    def secret_kept(self, p, window, secret, label):
        """A password typed into `window` is in neither the widget map nor the text that the
        accessibility bus gives of its fields (which shows one mark per character)."""
        time.sleep(0.4)
        with open(p.map_file, encoding="utf-8") as f:
            if secret in f.read():
                self.fail(f"{label}: the typed password is in the widget map")
        app = self.application(p.proc.pid)
        stack, fields = [app], 0
        while stack:
            n = stack.pop()
            stack.extend(c for c in n if c is not None)
            if n is not app and n.getRoleName() == "password text":
                fields += 1
                text = n.queryText().getText(0, -1)
                if secret in text or secret in (n.name or "") or secret in (n.description or ""):
                    self.fail(f"{label}: the accessibility bus gives the typed password")
        if fields == 0:
            self.fail(f"{label}: no password field on the accessibility bus")

    def fail(self, what):
        print("FAIL:", what, flush=True)
        self.failures.append(what)

    def named_and_focusable(self, w, nodes, what):
        """The accessible node of widget `w` (the largest inside its rectangle), failing when it
        is missing, nameless or out of the keyboard's reach; None when missing."""
        match = [n for n in nodes if inside(n["rect"], (w["x"], w["y"], w["w"], w["h"]))]
        if not match:
            self.fail(f"{what} is not in the accessibility tree")
            return None
        n = max(match, key=lambda m: m["rect"][2] * m["rect"][3])
        if not n["name"]:
            self.fail(f"{what} has no name (role {n['role']})")
        if not n["focusable"]:
            self.fail(f"{what} takes no keyboard focus (role {n['role']})")
        return n

    def screen(self, p, window, label):
        """Audits what is on show in `window` now."""
        time.sleep(0.4)  # the widget map and the bridge catch up with the last change
        app = self.application(p.proc.pid)
        widgets = p.widgets()
        top = next((w for w in widgets if w.get("window") == window and w.get("name") == window), {})
        nodes = self.nodes(app, top.get("title"))
        controls = [w for w in widgets if w.get("window") == window and w.get("name") != window
                    and w.get("mouse") and w.get("enabled") and w["w"] > 0 and w["h"] > 0]
        for w in controls:
            what = f"{label}: {w['name']} ({w['class']}, {w.get('text', '')!r})"
            n = self.named_and_focusable(w, nodes, what)
            if n is None:
                continue
            acts = {a.lower() for a in n["actions"]}
            if n["role"] not in FIELD_ROLES and not acts & PRESS_ACTIONS:
                self.fail(f"{what} has no press action (role {n['role']}, actions {n['actions']})")
        # What is there to read (a list, a table, a chart): named and reachable from the keyboard.
        shown = [w for w in widgets if w.get("window") == window and w.get("read") and w["w"] > 0 and w["h"] > 0]
        for w in shown:
            self.named_and_focusable(w, nodes, f"{label}: {w['name']} ({w['class']})")
        for n in nodes:
            if n["role"] in NAMED_ROLES and not n["name"]:
                self.fail(f"{label}: a {n['role']} at {n['rect']} has no name")
        self.screens += 1
        print(f"ok: {label}: {len(controls)} controls, {len(shown)} to read, {len(nodes)} objects", flush=True)

    def chart_values(self, p, window, chart):
        """A score-band chart of `window` gives a screen reader its values, not its title only:
        its description names the five bands with their pupils, who add up to the pupils its
        title counts ("Lettura (7 alunni)")."""
        top = p.get(window, window) or {}
        w = p.get(window, chart)
        if w is None:
            return self.fail(f"{window}: no chart {chart}")
        n = self.named_and_focusable(w, self.nodes(self.application(p.proc.pid), top.get("title")), chart)
        if n is None:
            return None
        bands = re.findall(r"(\d+)–(\d+) %: (\d+) alunn", n["description"])
        total = re.search(r"\((\d+) alunn", n["name"])
        if len(bands) != 5 or not total or sum(int(b[2]) for b in bands) != int(total.group(1)):
            return self.fail(f"{window}: chart {chart} named {n['name']!r} reads {n['description']!r}")
        print(f"ok: {chart} reads {n['description']!r}", flush=True)
        return None

    def click_node(self, p, window, role, name):
        """Clicks the showing object of `role` named `name` in `window` (a page tab, which the
        widget map does not list)."""
        top = p.get(window, window) or {}
        for n in self.nodes(self.application(p.proc.pid), top.get("title")):
            if n["role"] == role and n["name"] == name:
                x, y, w, h = n["rect"]
                p.click({"x": x, "y": y, "w": w, "h": h})
                return
        raise d.DriverError(f"no {role} {name!r} on show")


def inside(inner, outer):
    """Whether an object's extents lie within a control's rectangle and cover a good part of it
    or start at its left edge (a check box reports its box and caption only, not its whole
    widget, which a layout may stretch far beyond a short caption)."""
    x, y, w, h = inner
    X, Y, W, H = outer
    within = x >= X - 1 and y >= Y - 1 and x + w <= X + W + 1 and y + h <= Y + H + 1
    return within and (w * h * 4 >= W * H or (abs(x - X) <= 1 and h * 2 >= H))


def add_pupils(work):
    con = sqlite3.connect(os.path.join(work, "Perquorvane", "quorvane.mdb"))
    try:
        for arrivo in [1] + [a for _, a in RESUMED]:
            con.execute(f'INSERT INTO "{TABLE}" (nome, arrivo, sub) VALUES (?, ?, 1)', (f"AUDIT TAPPA{arrivo}", arrivo))
        con.commit()
    finally:
        con.close()


def resume(audit, display, binary, work, arrivo, window, first=False):
    """Starts the program and resumes the pupil at `arrivo`, auditing the way in on the first run."""
    p = d.Program(display, binary, work)
    try:
        p.window_shown("FLINIZIO")
        if first:
            audit.screen(p, "FLINIZIO", "start screen")
        p.click_name("FLINIZIO", "LabAVVIO")
        p.find("FLINIZIO", "Label1_2")
        if first:
            audit.screen(p, "FLINIZIO", "start screen, classes")
        p.click_name("FLINIZIO", "Label1_2")
        p.find("FLINIZIO", "LabCONTINUAZIONE")
        if first:
            audit.screen(p, "FLINIZIO", "start screen, new or resumed")
        p.click_name("FLINIZIO", "LabCONTINUAZIONE")
        p.window_shown("FrmNOME")
        if first:
            audit.screen(p, "FrmNOME", "name entry")
        p.type_into("FrmNOME", "Text1", "Audit")
        p.type_into("FrmNOME", "Text4", f"Tappa{arrivo}")
        p.click_name("FrmNOME", "CmdOK")
        p.window_shown(window)
        audit.screen(p, window, f"{window} (arrivo {arrivo})")
    finally:
        p.kill()


def archive(audit, display, binary, work):
    p = d.Program(display, binary, work)
    try:
        p.window_shown("FLINIZIO")
        p.click_name("FLINIZIO", "Labarchivio")
        p.window_shown("FrmPASSWORD")
        audit.screen(p, "FrmPASSWORD", "archive password")
        p.type_into("FrmPASSWORD", "Text1", "maestra1")
        p.type_into("FrmPASSWORD", "Text2", "maestra1")
        audit.secret_kept(p, "FrmPASSWORD", "maestra1", "archive password")
        p.click_name("FrmPASSWORD", "cmdOK")
        p.wait_gone("FrmPASSWORD")
        p.answer("OK")
        p.window_shown("FLstampa")
        audit.screen(p, "FLstampa", "archive")
        p.click_name("FLstampa", "cmdaltraclasse")
        p.find("FLstampa", "Label9_0")
        audit.screen(p, "FLstampa", "archive, class chooser")
        teacher_windows(audit, p)
    finally:
        p.kill()


def dialog(audit, p, window, label, opener, closer="cmdchiudo"):
    """Opens one of the archive's windows with the archive's button `opener`, audits it and
    closes it."""
    p.click_name("FLstampa", opener)
    p.window_shown(window)
    audit.screen(p, window, label)
    p.click_name(window, closer)
    p.wait_gone(window)


def teacher_windows(audit, p):
    """The archive's own windows, on the class of the audit's pupils, one pupil deleted so
    that the recycle bin lists something."""
    p.click_name("FLstampa", "Label9_2")
    rows = p.wait(lambda ws: next((w for w in ws if w.get("name") == "List1" and w.get("window") == "FLstampa"
                                   and len(w.get("items", [])) > 1), None), "the class's pupils")
    x, y, w, h = rows["rects"][0]
    p.click({"x": x, "y": y, "w": w, "h": h})
    dialog(audit, p, "FrmSTRUMENTI", "pupil's tools", "cmdstrumenti", "cmdAnnulla")
    p.click_name("FLstampa", "cmdstatistiche")
    p.window_shown("FrmSTATISTICHE")
    for page in ["Prove e confronto con la scuola", "Punteggi", "Fasce di punteggio", "Livelli", "Domande"]:
        audit.click_node(p, "FrmSTATISTICHE", "page tab", page)
        audit.screen(p, "FrmSTATISTICHE", f"class statistics, {page}")
        if page == "Fasce di punteggio":
            audit.chart_values(p, "FrmSTATISTICHE", "Grafico_lettura")
    p.click_name("FrmSTATISTICHE", "cmdchiudo")
    p.wait_gone("FrmSTATISTICHE")
    p.click_name("FLstampa", "CMDELIMINO")
    p.answer("Sì")
    dialog(audit, p, "FrmCESTINO", "recycle bin", "cmdcestino")
    dialog(audit, p, "FrmCOPIE", "copies", "cmdcopie")
    dialog(audit, p, "FrmPASSWORD", "change of password", "cmdpassword", "cmdAnnulla")
    # The next opening asks for the password chosen.
    p.click_name("FLstampa", "cmdtorno")
    p.window_shown("FLINIZIO")
    p.click_name("FLINIZIO", "Labarchivio")
    p.window_shown("FrmPASSWORD")
    audit.screen(p, "FrmPASSWORD", "archive password, asked")


def main():
    bin_dir = os.path.abspath(sys.argv[1])
    # The program with its test hooks (the widget map); the installed one has none.
    binary = os.path.join(bin_dir, "quorvane_test")
    began = time.time()
    display = d.Display()
    os.environ["DISPLAY"] = display.name
    os.environ["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
    try:
        import pyatspi  # the Debian package python3-pyatspi, on the session's accessibility bus
        audit = Audit(pyatspi)
        with tempfile.TemporaryDirectory() as work:
            d.prepare(bin_dir, work)
            add_pupils(work)
            resume(audit, display, binary, work, 1, "FLETTURA", first=True)
            for window, arrivo in RESUMED:
                resume(audit, display, binary, work, arrivo, window)
            archive(audit, display, binary, work)
    finally:
        display.close()
    print(f"{audit.screens} screens audited in {time.time() - began:.0f} s, {len(audit.failures)} failures")
    return 1 if audit.failures else 0


if __name__ == "__main__":
    sys.exit(main())
