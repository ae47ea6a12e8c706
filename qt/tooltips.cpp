#include "qt/tooltips.h"

namespace lxr4 {

// A switch without a default: a control added to the table without a tooltip
// does not compile.
std::string_view ToolTip(Control control) {
  using C = Control;
  switch (control) {
    case C::Spectra:
    case C::frmcontrast:
      return {};
    case C::Shphart1:
      return "The object image (the star's spectrum); red while its spectrum is graphed";
    case C::shphart2:
      return "The calibration image (the lamp's spectrum); red while its spectrum is graphed";
    case C::Label3:
      return "The object image: red while its spectrum is graphed";
    case C::lblfiledata1:
      return "The file of the object image";
    case C::cmdload:
      return "Open a camera image as the object spectrum";
    case C::cmdcontrast:
      return "Set the background and range of the object image's grey scale";
    case C::cmdcalcspectra:
      return "Sum the object image's crop box again and graph the object spectrum";
    case C::cmdemission:
      return "Find the centre of the line under the cursor in the graphed spectrum and show its wavelength";
    case C::Shape1:
    case C::Label5:
      return "The rows of the object image summed into its spectrum";
    case C::hsbcropdata1:
      return "First row of the object image summed into its spectrum";
    case C::lbldatacrop1:
      return "First row of the object crop box";
    case C::hsbcropdata2:
      return "Last row of the object image summed into its spectrum";
    case C::lbldatacrop2:
      return "Last row of the object crop box";
    case C::Lingraph:
      return "Graph height from the lowest to the highest value of the whole spectrum";
    case C::loggraph:
      return "Graph height on a logarithmic scale above the spectrum's lowest value";
    case C::autograph:
      return "Graph height from the lowest to the highest value of the columns shown";
    case C::pushgraph:
      return "Like Autoscaled Graph over at most 2048 counts: faint features stretched";
    case C::smoothing:
      return "Smooth the spectra over five columns";
    case C::chkexpand:
      return "Show the spectra as bands in place of the images, coloured by wavelength once calibrated";
    case C::chkfilter:
      return "Subtract the sky measured outside the Data Crop Box from the object spectrum";
    case C::chkmedian:
      return "Clean hot pixels of the object image with the median of their four neighbours";
    case C::Picgraph:
      return "The graphed spectrum: 65 columns around the cursor";
    case C::hsbspectra:
      return "The cursor: the column read out and graphed (arrow keys: one column, Page Up/Down: ten, "
             "Home/End: the ends)";
    case C::Lblwavelength:
      return "Read-out of the cursor column, the calibration and the results";
    case C::Label2:
      return "The calibration image: red while its spectrum is graphed";
    case C::lblfiledata2:
      return "The file of the calibration image";
    case C::cmdload2:
      return "Open a camera image of the lamp as the calibration spectrum";
    case C::cmdcontrast2:
      return "Set the background and range of the calibration image's grey scale";
    case C::Cmdcalccal:
      return "Sum the calibration image's crop box again and graph the calibration spectrum";
    case C::cmdmarkline1:
      return "Mark the lamp line under the cursor as line 1, of the wavelength chosen below";
    case C::cmdmarkline2:
      return "Mark the lamp line under the cursor as line 2 and fit the calibration";
    case C::Label1:
    case C::cboscale:
      return "The wavelength of the lamp line to mark, or Manual Entry to type one";
    case C::Label4:
    case C::cbobox:
      return "How many columns around the cursor the line's centre is found in";
    case C::Shape2:
    case C::Label6:
      return "The rows of the calibration image summed into its spectrum";
    case C::hsbcropcal1:
      return "First row of the calibration image summed into its spectrum";
    case C::lblcalcrop1:
      return "First row of the calibration crop box";
    case C::hsbcropcal2:
      return "Last row of the calibration image summed into its spectrum";
    case C::lblcalcrop2:
      return "Last row of the calibration crop box";
    case C::Line1:
      return "The buttons on the right save, print and end";
    case C::cmdtext:
      return "Write the graphed spectrum as a text file (pixel, wavelength, value) next to its image";
    case C::cmdstrip:
      return "Save the graphed spectrum as a new camera image file, every row the spectrum";
    case C::cmdprint:
      return "Print the whole graphed spectrum on one page";
    case C::cmdexit:
      return "End the program";
    case C::Lblbackground:
    case C::txtbackground:
      return "The image value shown as black";
    case C::lblrange:
    case C::txtrange:
      return "How far above the background the values reach white";
    case C::cmddone:
      return "Apply the background and range and close";
  }
  return {};
}

}  // namespace lxr4
