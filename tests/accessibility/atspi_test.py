"""The window as a screen reader finds it: through AT-SPI, the layer that Orca reads.

Starts the program on a scratch folder and checks, in English and in Russian, the window as a
frame, every control's role, name and description, the name box's label, the open folder as the
selected entry of the tree with its level, a name from the disk as plain text, the whole text of
the Trash question, and the progress bar's name; and that the focus is said to move only where
the keyboard's focus moves. Usage: atspi_test.py PROGRAM (X server, D-Bus session, xdotool).
"""
import os
import subprocess
import sys
import tempfile
import time
import unittest
import warnings

warnings.filterwarnings("ignore", category=DeprecationWarning)  # pyatspi's own calls
import pyatspi  # noqa: E402
from gi.repository import Atspi, GLib  # noqa: E402

PROGRAM = sys.argv.pop(1)
MARKUP_NAME = "<b>bold<br>&amp;\nline"  # on the disk; the screen shows the line feed as U+FFFD

# What the screen reader finds in each language: (English, Russian) for each control of a role
# in the window's order, and for the other texts.
IN_BOTH = {
    "combo box": [("Drive", "Диск")],
    "list": [("Folders", "Папки"), ("Files", "Файлы")],
    "text": [("File / Folder Name", "Имя файла / папки")],
    "label": [("File / Folder Name", "Имя файла / папки")],
    "radio button": [("English", "English"), ("Russian", "Russian"),
                     ("With request and to Recycle Bin", "Удалить с запросом в корзину"),
                     ("Just Delete", "Просто удалить")],
    "push button": [("Create", "Создать"), ("Delete", "Удалить"), ("Rename", "Переименовать"),
                    ("Delete", "Удалить"), ("Rename", "Переименовать"), ("Create", "Создать"),
                    ("Rename All Files", "Переименовать все файлы"),
                    ("Delete All Files", "Удалить все файлы")],
    "page tab": [("Folder", "Папка"), ("File", "Файл"), ("All Files", "Все файлы")],
    "panel": [("Select Language", "Select Language"), ("Folder", "Папка"), ("File", "Файл"),
              ("All Files", "Все файлы"), ("Method of Files Delete", "Метод удаления файлов")],
    "level": ("level {}", "уровень {}"),
    "question": ("Do you want to move \u201c{}\u201d to the Trash?", "Переместить «{}» в корзину?"),
    "no": ("No", "Нет"),
    "deletes": [("Deletes the open folder with everything in it, at once and for good",
                 "Удаляет открытую папку со всем её содержимым, сразу и безвозвратно"),
                ("Deletes the file selected in the file list, by the chosen delete method",
                 "Удаляет файл, выделенный в списке файлов, выбранным методом удаления")],
}
ENGLISH, RUSSIAN = (
    {key: [pair[language] for pair in value] if isinstance(value, list) else value[language]
     for key, value in IN_BOTH.items()}
    for language in (0, 1))


def eventually(find, seconds=20):
    """The first true result of find() within the time, else None; events arrive meanwhile."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            found = find()
        except Exception:  # the tree changes under the reader while the program works
            found = None
        if found:
            return found
        while GLib.MainContext.default().iteration(False):
            pass
        time.sleep(0.1)
    return None


def descendants(node):
    for child in node:
        if child is not None:
            yield child
            yield from descendants(child)


def by_role(node, role):
    return [n for n in descendants(node) if n.getRoleName() == role]


def states(node):
    return node.getState().getStates()


class WindowThroughAtSpi(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.TemporaryDirectory(prefix="ffname-atspi-")
        cls.folder = os.path.join(cls.scratch.name, "shown")
        os.makedirs(os.path.join(cls.folder, "sub"))
        for name in ("a.txt", MARKUP_NAME):
            open(os.path.join(cls.folder, name), "w").close()
        env = dict(os.environ, XDG_DATA_HOME=os.path.join(cls.scratch.name, "data"))
        cls.program = subprocess.Popen([PROGRAM], cwd=cls.folder, env=env)
        cls.window = eventually(cls.find_window)
        if cls.window is None:
            cls.program.kill()
            raise AssertionError("the window never showed on the accessibility bus")

    @classmethod
    def tearDownClass(cls):
        cls.program.terminate()
        cls.program.wait(10)
        cls.scratch.cleanup()

    @classmethod
    def find_window(cls):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == cls.program.pid:
                return next((w for w in app if w is not None and w.name == "FF Name"), None)
        return None

    def shown_names(self, role):
        """Names of the controls of the role; of the buttons, those on the pages, shown or not."""
        if role == "push button":
            return [b.name for page in by_role(self.window, "panel") for b in by_role(page, role)]
        return [n.name for n in by_role(self.window, role)
                if role == "panel" or pyatspi.STATE_SHOWING in states(n)]

    def check_language(self, texts):
        self.assertEqual(self.window.getRoleName(), "frame")
        described = [b.description for page in by_role(self.window, "panel")
                     for b in by_role(page, "push button") if b.description]
        self.assertEqual(described, texts["deletes"])
        for role in ("combo box", "list", "text", "label", "radio button", "push button",
                     "page tab", "panel"):
            with self.subTest(role=role):
                self.assertEqual(self.shown_names(role), texts[role])
        box = by_role(self.window, "text")[0]
        labels = [r.getTarget(0).name for r in box.getRelationSet()
                  if r.getRelationType() == pyatspi.RELATION_LABELLED_BY]
        self.assertEqual(labels, [texts["label"][0]])
        folders = self.named("list", texts["list"][0])
        selected = [item for item in folders if pyatspi.STATE_SELECTED in states(item)]
        self.assertEqual([item.name for item in selected], ["shown"])
        depth = len(self.folder.strip("/").split("/")) + 1
        self.assertEqual(selected[0].description, texts["level"].format(depth))

    def named(self, role, name, within=None):
        return next(n for n in by_role(within or self.window, role) if n.name == name)

    def act(self, node, name):
        action = node.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        self.assertIn(name, names, node.name)
        action.doAction(names.index(name))

    def press(self, node):
        self.act(node, "Press")

    def test_names_in_both_languages_and_the_trash_question(self):
        self.check_language(ENGLISH)
        files = self.named("list", "Files")
        self.assertEqual([item.name for item in files], ["<b>bold<br>&amp;\ufffdline", "a.txt"])

        self.act(self.named("radio button", "Russian"), "Toggle")
        self.assertTrue(eventually(lambda: self.shown_names("combo box") == RUSSIAN["combo box"]))
        self.check_language(RUSSIAN)

        # The File page's Delete, on the file with markup in its name.
        self.act(files[0], "Toggle")
        self.act(self.named("page tab", "Файл"), "Press")
        self.press(self.named("push button", "Удалить", self.named("panel", "Файл")))
        question_text = RUSSIAN["question"].format("<b>bold<br>&amp;\ufffdline")

        def question():
            app = self.window.getApplication()
            return next((w for w in app if w is not None and w.name != "FF Name"), None)

        dialog = eventually(question)
        self.assertIsNotNone(dialog, "no question came")
        self.assertEqual(dialog.description, question_text + "\n" + self.folder)
        whole = [n.name for n in descendants(dialog)]
        self.assertIn(question_text, whole)
        self.assertIn(self.folder, whole)
        self.press(self.named("push button", RUSSIAN["no"], dialog))
        self.assertTrue(eventually(lambda: question() is None))
        self.assertTrue(os.path.exists(os.path.join(self.folder, MARKUP_NAME)))

    def test_the_focus_moves_only_with_the_keyboard_and_the_progress_bar_is_named(self):
        self.act(self.named("radio button", "English"), "Toggle")
        self.act(self.named("page tab", "Folder"), "Press")
        self.act(next(i for i in self.named("list", "Files") if i.name == "a.txt"), "Toggle")
        subprocess.run(["xdotool", "search", "--pid", str(self.program.pid), "--name", "^FF Name$",
                        "windowfocus", "--sync"], check=True, timeout=20)  # no window manager
        moves = []

        def heard(event):
            if event.type.startswith("object:state-changed") and not event.detail1:
                return  # focus lost, which claims no focus
            try:
                moves.append((event.type, event.source.getRoleName(), event.source.name))
            except Exception:  # said of an entry that is gone already
                moves.append((event.type, "gone"))

        listener = Atspi.EventListener.new(heard)
        listener.register("focus:")
        listener.register("object:state-changed:focused")
        create = self.named("push button", "Create", self.named("panel", "Folder"))
        create.queryComponent().grabFocus()
        self.assertTrue(eventually(lambda: ("focus:", "push button", "Create") in moves))
        eventually(lambda: False, 0.5)  # what the move to the button says may come in any order
        moves.clear()
        # A command pressed where the keyboard is, and a file that another program makes: the
        # lists follow, the file list's selection stays, and so does the focus on the button.
        self.named("text", "File / Folder Name").queryEditableText().setTextContents("made")
        self.press(create)
        listed = lambda name, role: name in [i.name for i in self.named("list", role)]
        self.assertTrue(eventually(lambda: listed("made", "Folders")))
        open(os.path.join(self.folder, "outside.txt"), "w").close()
        self.assertTrue(eventually(lambda: listed("outside.txt", "Files")))
        eventually(lambda: False, 0.5)
        self.assertEqual(moves, [])

        # Delete All to the Trash: the first question answered late, so that the progress shows.
        self.act(self.named("page tab", "All Files"), "Press")
        self.press(self.named("push button", "Delete All Files"))
        app = self.window.getApplication()
        question = lambda: next((w for w in app if w is not None and w.name != "FF Name"), None)
        first = eventually(question)
        eventually(lambda: False, 1)  # past the half second after which the progress shows
        self.press(self.named("push button", "No", first))
        progress = eventually(lambda: next(w for w in app if w is not None and w != self.window
                                           and w.name == "FF Name"))
        self.assertEqual([b.name for b in by_role(progress, "progress bar")], ["Progress"])
        self.press(self.named("push button", "Stop", eventually(question)))
        self.assertTrue(eventually(lambda: len([w for w in app if w is not None]) == 1))


if __name__ == "__main__":
    unittest.main(verbosity=2)
