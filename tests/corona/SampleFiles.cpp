#include <turbojpeg.h>

#include "TestFiles.h"

namespace corona_tests {

std::vector<TestFile> SampleFilesOfEveryFormat() {
  return {MakePng(6, 8, false, false, 11),
          MakePng(3, 4, true, true, 12),
          MakePng(0, 16, false, true, 13),
          MakeJpeg(24, 17, TJSAMP_420, false, 14),
          MakeJpeg(19, 21, TJSAMP_444, true, 15),
          MakeBmp(24, false, false, 16),
          MakeBmp(8, true, false, 17),
          MakeBmp(32, false, false, 18),
          MakeTga(TgaKind::TrueColour24, false, 19),
          MakeTga(TgaKind::RunLength24, true, 20),
          MakeTga(TgaKind::ColourMapped, false, 21),
          MakeGif(true, 22)};
}

}  // namespace corona_tests
