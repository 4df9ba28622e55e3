// Browses to a file with the chooser ("Choose a File or Directory"), uploads it from there,
// takes it into the text box with OK, and checks that the archive catalogue lists it. Run it
// against the demo's server:
//     scripts/demo --script examples/browse.js
const site = env("VELLIX_DEMO_SITE");
const prefix = env("VELLIX_PREFIX");
if (!site || !prefix)
    fail("VELLIX_DEMO_SITE names no folder: run this script through scripts/demo");

const sheet = "homework 3.txt";
writeFile(prefix + "/drive_c/Course/" + sheet, "Label the parts of a flower.\r\n");
control.rdir = "/DV/biology/2006_2007/March_2007";
control.text = "C:\\Course\\" + sheet;

onBox(function (box) {
    log(box.title + ": " + box.text.split("\r\n").join(" "));
    return "OK";
});

onWindow("frmDir", function (win) {
    log(win.caption + " in " + win.find("lblFile").text + ": " +
        win.rows("List2").map(function (r) { return r.cells[0]; }).join(", "));
    log("selected: " + win.find("lblSize").text + ", changed " + win.find("lblDate").text);
    win.click("imgUp");                                   // upload the selected file
    win.click("cmdOK");
});

click("cmdBrowse");
log("the text box holds " + control.text);
if (control.text !== "C:\\Course\\" + sheet)
    fail("the chooser did not hand back the file");
if (readFile(site + "/DV/biology/2006_2007/index.htm").indexOf(sheet) < 0)
    fail("the catalogue does not list " + sheet);
log("the catalogue lists " + sheet);
