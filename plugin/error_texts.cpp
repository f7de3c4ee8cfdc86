#include "error_texts.h"

const char* ErrorTextFor(std::int32_t resultCode) {
  switch (resultCode) {
    case 0:
    case 1:
      return "";
    case -10000:
      return "PortMidi: `Host error'";
    case -9999:
      return "PortMidi: `Invalid device ID'";
    case -9998:
      return "PortMidi: `Insufficient memory'";
    case -9997:
      return "PortMidi: `Buffer too small'";
    case -9996:
      return "PortMidi: `Buffer overflow'";
    case -9995:
      return "PortMidi: `Bad pointer'";
    case -9994:
      return "PortMidi: `Invalid MIDI message Data'";
    case -9993:
      return "PortMidi: `Internal PortMidi Error'";
    case -9992:
      return "PortMidi: `Buffer cannot be made larger'";
    default:
      return "PortMidi: `Illegal error number'";
  }
}
