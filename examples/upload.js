// Uploads a lesson through the control, answers the boxes the upload shows, and checks that
// the archive catalogue lists the lesson. Run it against the demo's server:
//     scripts/demo --script examples/upload.js
// The catalogue is read from the site's folder, which the demo names in VELLIX_DEMO_SITE.
const site = env("VELLIX_DEMO_SITE");
if (!site)
    fail("VELLIX_DEMO_SITE names no folder: run this script through scripts/demo");

control.rdir = "/DV/biology/2006_2007/March_2007";
control.text = "C:\\Course\\lesson 1.txt";
control.clickUpload.connect(function () { log("the control starts an upload"); });

let announced = false;
onBox(function (box) {
    log(box.icon + " box: " + box.title);
    if (box.text.indexOf("was successfully uploaded") >= 0)
        announced = true;
    return "OK";
});

click("cmdUpload");
if (!announced)
    fail("the upload was not announced");

const catalogue = readFile(site + "/DV/biology/2006_2007/index.htm");
if (catalogue.indexOf("lesson 1.txt") < 0)
    fail("the catalogue does not list the lesson");
log("the catalogue lists lesson 1.txt");
