#include "movie.h"

#include <QDir>
#include <QFileInfo>
#include <QMovie>

QString AnimationFileFor(const QString& movieFile)
{
    const QFileInfo movie(movieFile);
    return movie.dir().filePath(movie.completeBaseName() + QStringLiteral(".gif"));
}

MoviePlayer::MoviePlayer(QWidget* parent) : QLabel(parent)
{
    // Transparent: the picture box behind shows wherever a frame is clear.
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    setAlignment(Qt::AlignCenter);
}

void MoviePlayer::setMovie(const QString& movieFile)
{
    movie_ = movieFile;
    if (player_) {
        QLabel::setMovie(nullptr);
        delete player_;
        player_ = nullptr;
    }
    const QString animation = AnimationFileFor(movieFile);
    if (!QFileInfo(animation).isFile())
        return;
    auto* player = new QMovie(animation, QByteArray(), this);
    if (!player->isValid()) {
        delete player;
        return;
    }
    player_ = player;
    player_->setCacheMode(QMovie::CacheAll);
    QLabel::setMovie(player_);
    // A GIF that says "loop forever" does so; one that says otherwise is
    // restarted, as the movie's looping setting asks.
    connect(player_, &QMovie::finished, player_, &QMovie::start);
    player_->start();
}

bool MoviePlayer::Playing() const
{
    return player_ && player_->state() == QMovie::Running;
}
