// Opens "Web Space" from the control's menu on the demo's month folder, ticks all five levels,
// measures them and prints each total with its exact number of bytes, then closes the window.
// Run it against the demo's server:
//     scripts/demo --script examples/space.js
// and compare a level with the files on disk, the course for instance:
//     find build/demo/site/DV/biology -type f -printf "%s\n" | paste -sd+ | bc
control.rdir = "/DV/biology/2006_2007/March_2007";

const levels = ["Site", "DV", "Course", "Archive", "Month"];
onBox(function (box) { log(box.title + ": " + box.text); });

let measured = false;
onWindow("frmSpace", function (win) {
    for (const level of levels) {
        if (!win.find("chk" + level).checked)
            win.click("chk" + level);
    }
    win.click("cmdOK");
    for (const level of levels) {
        const total = win.find("lbl" + level);
        log(win.find("chk" + level).text.replace("&", "") + ": " + total.text.trim() + " (" +
            total.toolTip + ")");
    }
    measured = true;
    win.click("cmdCancel");
});

click("Image1");
trigger("mnuSpace");
if (!measured)
    fail("the web space window did not open");
