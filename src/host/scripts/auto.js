// vellix-host --auto: clicks Upload, lets every box take its default button, and ends with
// status 1 unless the upload was announced as successful.
let announced = false;
onBox(function (box) {
    if (box.text.indexOf("was successfully uploaded to the webserver.") >= 0)
        announced = true;
});
click("cmdUpload");
if (!announced)
    fail("the upload was not announced as successful");
