#include "movie.h"

#include "runtime/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QMovie>
#include <algorithm>

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
    QString animation = AnimationFileFor(movieFile);
    if (!QFileInfo(animation).isFile()) {
        // An installed program keeps its files under share/varin, not beside itself.
        const QString relative = QDir(QCoreApplication::applicationDirPath()).relativeFilePath(animation);
        if (!relative.startsWith(QLatin1String("..")) && !QDir::isAbsolutePath(relative))
            animation = ShippedFile(relative);
    }
    if (!QFileInfo(animation).isFile())
        return;
    auto* player = new QMovie(animation, QByteArray(), this);
    if (!player->isValid()) {
        delete player;
        return;
    }
    player_ = player;
    player_->setCacheMode(QMovie::CacheAll);
    // Scaled as the movie was: to cover the whole box, keeping its shape, cut
    // evenly where it overflows.
    const QSize frame = QImageReader(animation).read().size();
    if (!frame.isEmpty() && !size().isEmpty()) {
        const double cover = std::max(static_cast<double>(width()) / frame.width(),
                                      static_cast<double>(height()) / frame.height());
        if (cover != 1.0)
            player_->setScaledSize(frame * cover);
    }
    QLabel::setMovie(player_);
    // A GIF that says "loop forever" does so; one that says otherwise is
    // started again, as the movie's looping setting asks, once it has played
    // through. One whose frames cannot be read stops and shows the background.
    connect(player_, &QMovie::finished, player_, [player] {
        if (player->currentFrameNumber() > 0 && player->lastError() == QImageReader::UnknownError)
            QMetaObject::invokeMethod(player, &QMovie::start, Qt::QueuedConnection);
    });
    player_->start();
}

bool MoviePlayer::Playing() const
{
    return player_ && player_->state() == QMovie::Running;
}
