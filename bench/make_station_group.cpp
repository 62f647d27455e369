// make_station_group: writes a generated station group's database into a
// program folder (Data/VantrelData.db3), for measuring the program at scale.
//
//   make_station_group <program folder> [entries] [stations] [airings per entry]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/station_group.h"
#include "data/query.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 5) {
        std::fprintf(stderr,
                     "usage: make_station_group <program folder> [entries] [stations] "
                     "[airings per entry]\n");
        return 2;
    }
    StationGroupShape shape;
    if (argc > 2) shape.entries = std::atoi(argv[2]);
    if (argc > 3) shape.stations = std::atoi(argv[3]);
    if (argc > 4) shape.airingsPerEntry = std::atoi(argv[4]);
    if (shape.entries < 0 || shape.stations < 1 || shape.airingsPerEntry < 0) {
        std::fprintf(stderr,
                     "entries, stations and airings must be counts (stations at least 1)\n");
        return 2;
    }
    if (!MakeStationGroupFolder(argv[1], shape)) {
        std::fprintf(stderr, "cannot write the database into %s: %s\n", argv[1],
                     slGetError().c_str());
        return 1;
    }
    std::printf("%d entries, %d stations, %d airings each in quarter %d\n", shape.entries,
                shape.stations, shape.airingsPerEntry, static_cast<int>(shape.quarter));
    return 0;
}
