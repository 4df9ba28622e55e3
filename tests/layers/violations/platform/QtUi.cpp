// The Qt side of the Ui seam may show widgets.
#include <QMessageBox>
