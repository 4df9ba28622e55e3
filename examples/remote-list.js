// Opens "Dn Del Rn" on the demo's month folder, copies two files down, renames one on the
// server (and its local copy), deletes another, and checks that the archive catalogue shows
// the change. Run it against the demo's server:
//     scripts/demo --script examples/remote-list.js --shots build/demo/shots
const site = env("VELLIX_DEMO_SITE");
if (!site)
    fail("VELLIX_DEMO_SITE names no folder: run this script through scripts/demo");
control.rdir = "/DV/biology/2006_2007/March_2007";
control.text = "C:\\Course\\";

function row(win, name) {
    const at = win.rows("lvServer").findIndex(function (r) { return r.cells[0] === name; });
    if (at < 0)
        fail(name + " is not listed");
    return at + 1;
}

onBox(function (box) {
    log(box.title + ": " + box.text.split("\n").join(" "));
    return box.icon === "question" ? "Yes" : undefined;
});
onInput(function (inp) { return "worksheet 2.txt"; });

onWindow("frmServer", function (win) {
    for (const r of win.rows("lvServer"))
        log(r.cells.join(" | "));
    win.check("lvServer", row(win, "worksheet 1.txt"), true);
    win.check("lvServer", row(win, "quiz.txt"), true);
    log("checked: " + win.find("lblcnt").text + ", " + win.find("lblSize").text);
    win.press("Toolbar1", 1);                             // Copy Down
    win.select("lvServer", row(win, "worksheet 1.txt"));
    win.press("Toolbar1", 2);                             // Rename
    win.check("lvServer", row(win, "field trip.txt"), true);
    win.press("Toolbar1", 3);                             // Delete
    win.press("Toolbar1", 5);                             // Exit
});

click("cmdDnload");

const catalogue = readFile(site + "/DV/biology/2006_2007/index.htm");
if (catalogue.indexOf("worksheet 2.txt") < 0 || catalogue.indexOf("field trip.txt") >= 0)
    fail("the catalogue does not show the rename and the delete");
if (!exists(env("VELLIX_PREFIX") + "/drive_c/Course/worksheet 2.txt"))
    fail("the local copy was not renamed");
log("the catalogue lists worksheet 2.txt and no longer field trip.txt");
