# What a run hands the disk tool, said here and nowhere else in the product:
# the programs, their file properties and the place where a rehearsal puts the
# simulated DiskPart all include this file and take it from these lines.
set(disk_tool_command [[c:\vel\kelvox\diskpart.exe]])
# DiskPart takes a few seconds to start up before it reads commands.
set(pause_before_script_ms 5000)
# SIZE is what each disk gives to the volume, in MB; without it the tool
# makes the largest volume that fits.
set(create_volume_line_sized "CREATE VOLUME RAID SIZE=1000 DISK=0,1,2,3")
set(create_volume_line_nosize "CREATE VOLUME RAID DISK=0,1,2,3")
set(exit_line "EXIT")
