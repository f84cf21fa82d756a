#pragma once
// What the host controller asks of the singers' screen to talk to the room
// between songs: the announce card, the next-singers ticker and the start
// countdown. The screen implements it (ScreenAnnouncer); the controller
// keeps the rules of when (the rotation, the options, the countdown's end),
// so a show runs the same with no screen at all. UI thread only.

#include <cstdint>
#include <string>

namespace lyricade {

class ScreenAnnouncements {
public:
  virtual ~ScreenAnnouncements() = default;
  // Draws the card naming who is up, shows it in the preview and copies it
  // into the screen's card texture (the controller sets the flag that shows
  // it).
  virtual void DrawAnnounceCard(const std::string& singer, const std::string& title,
                                const std::string& artist) = 0;
  // Whether the ticker's line still shows.
  virtual bool TickerShowing() const = 0;
  // A new next-singers line that fades in and scrolls; one that comes while a
  // line shows replaces it at its next pass.
  virtual void StartTicker(const std::string& text) = 0;
  // The countdown as the screen draws it: counting from `startMs` (the
  // steady clock in milliseconds), or gone.
  virtual void ShowCountdown(bool active, int64_t startMs) = 0;
};

}  // namespace lyricade
