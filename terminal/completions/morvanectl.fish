# fish completion for morvanectl
set -l commands status sign-in reset doctor help

complete -c morvanectl -f
complete -c morvanectl -l lang -x -a 'vi en' -d 'Language of the messages'
complete -c morvanectl -s h -l help -d 'Show the help'
complete -c morvanectl -l version -d 'Show the version'

complete -c morvanectl -n "not __fish_seen_subcommand_from $commands" -a status -d 'Whether a key is in place'
complete -c morvanectl -n "not __fish_seen_subcommand_from $commands" -a sign-in -d 'Sign in with an API key'
complete -c morvanectl -n "not __fish_seen_subcommand_from $commands" -a reset -d 'Undo Sign in'
complete -c morvanectl -n "not __fish_seen_subcommand_from $commands" -a doctor -d 'Check that Codex will work'
complete -c morvanectl -n "not __fish_seen_subcommand_from $commands" -a help -d 'The help of a command'

complete -c morvanectl -n '__fish_seen_subcommand_from status' -l json -d 'Print one JSON object'
complete -c morvanectl -n '__fish_seen_subcommand_from status' -l show-key -d 'Show the whole key'
complete -c morvanectl -n '__fish_seen_subcommand_from sign-in' -l platform -x -a 'cli desktop' -d 'The client to sign in'
complete -c morvanectl -n '__fish_seen_subcommand_from sign-in' -l key-file -r -F -d 'Read the key from a file'
complete -c morvanectl -n '__fish_seen_subcommand_from reset' -l yes -d 'Reset without asking'
complete -c morvanectl -n '__fish_seen_subcommand_from sign-in reset' -l json -d 'Print one JSON object'
complete -c morvanectl -n '__fish_seen_subcommand_from sign-in reset' -l check -d 'Only tell whether anything would change'
complete -c morvanectl -n '__fish_seen_subcommand_from doctor' -l json -d 'Print one JSON object'
complete -c morvanectl -n '__fish_seen_subcommand_from doctor' -l offline -d 'Leave the service check out'
complete -c morvanectl -n '__fish_seen_subcommand_from help; and not __fish_seen_subcommand_from status sign-in reset doctor' -a 'status sign-in reset doctor'
