#include "reserve/reservations.h"

namespace corvane {

ReservationFrame reservationFrame(const ReservationRecord& reservation) {
    FrameColor color = FrameColor::orange;
    if (reservation.conflict != 0)
        color = FrameColor::red;
    else if (reservation.kind == kReservationEpgTimer)
        color = FrameColor::green;
    else if (reservation.kind < kReservationJobBase)
        color = FrameColor::blue;
    return ReservationFrame{reservation.serviceId, reservation.networkKind, reservation.start, reservation.end, color,
                            reservation.valid == 1};
}

ReservationFrames reservationFrames(const ReservationList& reservations) {
    ReservationFrames frames;
    frames.reserve(reservations.size());
    for (const ReservationRecord& reservation : reservations) frames.push_back(reservationFrame(reservation));
    return frames;
}

}  // namespace corvane
