// The movie's place on the about window. No Flash player exists here, so the
// player plays an animated picture of our own that lies beside the movie file
// under the same name (Data/By.swf -> Data/By.gif; an installed program has
// it under share/varin/Data), transparently over the background and looping. When there is none, nothing is drawn and the
// background shows; nothing is reported, as nothing ever checked the file.
#pragma once

#include <QLabel>
#include <QString>

class QMovie;

// The animated picture that stands in for a movie file: same folder, same
// base name, .gif.
QString AnimationFileFor(const QString& movieFile);

class MoviePlayer : public QLabel {
    Q_OBJECT
public:
    explicit MoviePlayer(QWidget* parent);

    QString Movie() const { return movie_; }
    void setMovie(const QString& movieFile);
    // True while an animation plays in the movie's place.
    bool Playing() const;

private:
    QString movie_;
    QMovie* player_ = nullptr;
};
