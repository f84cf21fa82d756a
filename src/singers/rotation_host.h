#pragma once
// What the singers' windows need of the program that runs the show: the
// rotation they show and edit (its edits save and announce themselves), the
// commands that touch the playing song (cueing while a song plays, removal
// with its question), and word when the rotation changed. The host
// controller implements it; the windows know nothing else of it.

#include <QObject>

#include <vector>

#include "singers/wait_estimate.h"

namespace lyricade {

class SingerRotation;

class RotationHost : public QObject {
  Q_OBJECT
public:
  using QObject::QObject;

  virtual SingerRotation& Rotation() = 0;
  virtual const SingerRotation& Rotation() const = 0;
  // Double clicks on the singer list and the playlist.
  virtual void CueSinger(int row) = 0;
  virtual void CueSong(int row) = 0;
  // Removal commands with their question ("Are you sure?", caption
  // "Remove"); false when nothing was removed.
  virtual bool RemoveSelectedSinger() = 0;
  virtual bool RemoveSelectedSong() = 0;
  // Every singer's estimated start, in rotation order.
  virtual std::vector<SingerWait> SingerWaits() const = 0;

signals:
  // The rotation changed: the singer list and playlist views refresh.
  void rotationChanged();
};

}  // namespace lyricade
