// Uploads a folder's files through the "Local Drive" window: Upload with a folder in the text
// box opens the local list, where three files are checked and copied up; View Srvr shows them
// on the server, and the archive catalogue lists them. Run it against the demo's server:
//     scripts/demo --script examples/upload-folder.js
const site = env("VELLIX_DEMO_SITE");
const prefix = env("VELLIX_PREFIX");
if (!site || !prefix)
    fail("VELLIX_DEMO_SITE names no folder: run this script through scripts/demo");

const sheets = ["homework 1.txt", "homework 2.txt", "lesson 1.txt"];
writeFile(prefix + "/drive_c/Course/homework 1.txt", "Read chapter 3.\r\n");
writeFile(prefix + "/drive_c/Course/homework 2.txt", "Draw a cell.\r\n");

control.rdir = "/DV/biology/2006_2007/March_2007";
control.text = "C:\\Course\\";

onBox(function (box) {
    log(box.title + ": " + box.text.split("\r\n").join(" "));
    return "OK";
});

function names(win) {
    return win.rows("lvServer").map(function (r) { return r.cells[0]; });
}

onWindow("frmServerUp", function (win) {
    log(win.caption + " lists " + win.find("lblLocal").text + ": " + names(win).join(", "));
    for (const name of sheets)
        win.check("lvServer", names(win).indexOf(name) + 1, true);
    log("checked: " + win.find("lblcnt").text + ", " + win.find("lblSize").text);
    win.key("Alt+U");                                     // Copy Up
    win.press("Toolbar1", 6);                             // View Srvr
    win.press("Toolbar1", 5);                             // Exit
});

onWindow("frmServer", function (win) {
    log(win.caption + " lists " + names(win).join(", "));
    win.press("Toolbar1", 5);                             // Exit: back to the local list
});

click("cmdUpload");

const catalogue = readFile(site + "/DV/biology/2006_2007/index.htm");
for (const name of sheets) {
    if (catalogue.indexOf(name) < 0)
        fail("the catalogue does not list " + name);
}
log("the catalogue lists " + sheets.join(", "));
