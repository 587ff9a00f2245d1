import QtQuick
import Quorvane.Ui

// A section's small capitals title.
Text {
    font: Theme.section()
    color: Theme.textFaint
}
