// Takes the README's pictures of the windows, each in a state worth showing: the status window
// while it connects, the Remote Drive and Local Drive lists, the transfer window of a Copy Down,
// the chooser and Web Space. Run it through the demo, slowed so that the copy takes a few
// seconds, with the folder for the pictures:
//     VELLIX_DEMO_RATE=100000 VELLIX_PICTURES=$PWD/docs/images \
//         scripts/demo --script examples/pictures.js
const site = env("VELLIX_DEMO_SITE");
const pictures = env("VELLIX_PICTURES");
if (!site || !pictures)
    fail("run this script through scripts/demo, with VELLIX_PICTURES naming a folder");
const month = "/DV/biology/2006_2007/March_2007";
control.rdir = month;
control.text = "C:\\Course\\lesson 1.txt";

// A lecture large enough to take a few seconds on the slowed line.
writeFile(site + month + "/lecture notes.pdf", "%PDF-1.4 ".repeat(40000));

onBox(function (box) {
    log("box " + box.title + ": " + box.text.split("\n")[0]);
    return box.icon === "question" ? "Yes" : undefined;
});

function picture(win, name) {
    win.shot(pictures + "/" + name + ".png");
    log("picture " + name);
}

function row(win, name) {
    return win.rows("lvServer").findIndex(function (r) { return r.cells[0] === name; }) + 1;
}

onWindow("frmMsg", function (win) { picture(win, "frmMsg"); });
onWindow("frmTransfer", function (win) {
    wait(1500);
    picture(win, "frmTransfer");
});
onWindow("frmServerUp", function (win) {
    picture(win, "frmServerUp");
    win.close();
});
onWindow("frmServer", function (win) {
    win.check("lvServer", row(win, "quiz.txt"), true);
    win.check("lvServer", row(win, "worksheet 1.txt"), true);
    picture(win, "frmServer");
    win.press("Toolbar1", 6); // View Local
    for (const checked of ["quiz.txt", "worksheet 1.txt"])
        win.check("lvServer", row(win, checked), false);
    win.check("lvServer", row(win, "lecture notes.pdf"), true);
    win.key("Alt+D"); // Copy Down, with its transfer window
    win.close();
});
click("cmdDnload");

onWindow("frmDir", function (win) {
    win.choose("List2", "lesson 1.txt");
    picture(win, "frmDir");
    win.close();
});
click("cmdBrowse");

onWindow("frmSpace", function (win) {
    for (const level of ["Site", "DV", "Course", "Archive", "Month"]) {
        if (!win.find("chk" + level).checked)
            win.click("chk" + level);
    }
    win.click("cmdOK");
    picture(win, "frmSpace");
    win.click("cmdCancel");
});
click("Image1");
trigger("mnuSpace");
