// sprite_movie: a movie of one frame that holds a sprite with a timeline of
// its own: three frames, each a rectangle of another colour, the first
// labelled "start", and an init action that tells the page holding the
// movie (through an FSCommand) that the sprite is defined.
//
//   sprite_movie OUT.swf
#include <cstdio>
#include <exception>

#include "base/Printable.h"
#include "swf/builder/FlashMovie.h"

int main(int argc, char** argv) {
  using namespace movara::swf;
  if (argc != 2) {
    std::fputs("usage: sprite_movie OUT.swf\n", stderr);
    return 2;
  }
  try {
    // 120 x 90 pixels at 4 frames per second, coordinates in pixels.
    TFlashMovie movie(0, 0, 120, 90, 4, true);
    movie.SetVersion(6);

    // Characters are defined in the movie; the sprite only places them.
    const std::uint8_t colors[3][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    TFlashShape* boxes[3];
    for (int i = 0; i < 3; ++i) {
      boxes[i] = &movie.AddRectangle(10, 10, 110, 80);
      boxes[i]->SetSolidColor(colors[i][0], colors[i][1], colors[i][2], 255);
    }

    TFlashSprite& sprite = movie.AddSprite();
    sprite.InitActions().GetUrl("FSCommand:sprite_init", "defined");
    for (int i = 0; i < 3; ++i) {
      if (i > 0) sprite.RemoveObject(1, nullptr);
      sprite.PlaceObject(*boxes[i], 1);
      if (i == 0) sprite.FrameLabel = "start";
      sprite.ShowFrame();
    }

    // The movie's own timeline: the sprite placed once, one frame.
    movie.PlaceObject(sprite, 1);
    movie.ShowFrame();

    movie.BuildBody();
    movie.SaveFile(argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "sprite_movie: %s\n", movara::Printable(e.what()).c_str());
    return 1;
  }
  return 0;
}
