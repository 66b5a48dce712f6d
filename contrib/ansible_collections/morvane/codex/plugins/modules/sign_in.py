#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright: 2026 The Morvane developers
# All rights reserved. No licence to copy, change or pass on this software
# is granted (see LICENSE in the collection).
from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
---
module: sign_in
short_description: Sign the Codex client in to the Veskara API service, or undo it
description:
  - Runs C(morvanectl) on the target to sign the Codex home of the user the
    task runs as (C(~/.codex), or C($CODEX_HOME)) in to the Veskara API
    service with an API key, or to reset it, giving the user's own
    C(config.toml) and C(auth.json) back.
  - The key reaches C(morvanectl) on its standard input, or through
    I(key_file); it is never on a command line, in the result or in a
    message.
  - To sign in another user, run the task with C(become_user).
options:
  state:
    description:
      - C(present) signs in with the key on the platform. Nothing is written
        when the home is already signed in with this key and platform.
      - C(absent) resets the home. Nothing is written when there is nothing
        to undo.
    type: str
    choices: [present, absent]
    default: present
  key:
    description:
      - The API key. Mutually exclusive with I(key_file); one of the two is
        required with I(state=present).
    type: str
  key_file:
    description:
      - A file on the target whose first line is the API key, readable by
        the user the task runs as.
    type: path
  platform:
    description:
      - C(cli) signs in the Codex command-line client, C(desktop) the
        ChatGPT desktop app, which exists only on Windows.
      - Without it, the platform already signed in is kept, else C(cli).
    type: str
    choices: [cli, desktop]
  executable:
    description:
      - The morvanectl program to run, a path or a name looked up on C(PATH).
    type: str
    default: morvanectl
attributes:
  check_mode:
    support: full
    description: C(morvanectl --check) says whether anything would change and validates the key.
  diff_mode:
    support: full
    description: Before and after say whether the home is signed in, on which platform, with which masked key.
  platform:
    support: full
    platforms: posix
    description: Runs on Linux and other POSIX hosts; Windows hosts run no Python modules.
notes:
  - On Windows hosts, where Python modules do not run, run C(morvanectl.exe)
    with C(--key-file) and check C(morvanectl.exe status --json) instead.
requirements:
  - morvanectl on the target, with C(--json) and C(--check) for sign-in and reset.
author:
  - Seed 3b03757c maintainers (@maintainers)
'''

EXAMPLES = r'''
- name: Sign the Codex client in with the key from the vault
  morvane.codex.sign_in:
    key: "{{ veskara_api_key }}"
    platform: cli

- name: Sign in with a key file already on the host
  morvane.codex.sign_in:
    key_file: /run/secrets/veskara-key
    executable: /usr/local/bin/morvanectl

- name: Sign in another user
  become: true
  become_user: ana
  morvane.codex.sign_in:
    key: "{{ veskara_api_key }}"

- name: Undo it, giving the user's own files back
  morvane.codex.sign_in:
    state: absent
'''

RETURN = r'''
changed:
  description:
    - Whether anything was (or, in check mode, would be) written. A failure
      after something was written is reported changed as well.
  returned: always
  type: bool
  sample: true
platform:
  description:
    - The platform signed in (or that would be, in check mode); null after a
      reset, and wherever the home is not signed in through Morvane, even if
      an C(auth.json) of the user's own holds a key.
  returned: when morvanectl answered
  type: str
  sample: cli
codex_home:
  description: The Codex home morvanectl signed in or reset.
  returned: when morvanectl answered
  type: str
  sample: /home/ana/.codex
rc:
  description: morvanectl's exit code; 1 a failure or another Sign in or Reset running, 2 a key it cannot use, 3 a key refused.
  returned: failure
  type: int
  sample: 3
'''

import json
import os

from ansible.module_utils.basic import AnsibleModule


def masked(key):
    # morvanectl's mask, to predict the diff in check mode: the first 3 and
    # last 4 characters, unless the key is too short to hide anything then.
    if len(key) < 11:
        return '*' * len(key)
    return key[:3] + '*' * (len(key) - 7) + key[-4:]


def run(module, executable, args, stdin=None):
    """Runs morvanectl in English; fails the task unless it exits with one of
    the codes that mean success. Returns its JSON object."""
    rc, out, err = module.run_command([executable, '--lang', 'en'] + args, data=stdin, binary_data=True)
    try:
        result = json.loads(out)
    except ValueError:
        result = None
    # status exits 3 for "not signed in"; sign-in exits 3 for a refused key.
    ok = (0, 3) if args[0] == 'status' else (0,)
    if rc not in ok or not isinstance(result, dict):
        answer = result if isinstance(result, dict) else {}
        where = dict((name, answer[name]) for name in ('platform', 'codex_home') if name in answer)
        # A failure after something was written is still a change.
        module.fail_json(msg=answer.get('error') or err.strip() or 'morvanectl %s exited with %d and no result' % (args[0], rc),
                         rc=rc, changed=bool(answer.get('changed')), **where)
    return result


def status(module, executable):
    # A key without Morvane's marker (the user's own, given back by a reset)
    # is no Sign in of Morvane's: the platform is null then.
    result = run(module, executable, ['status', '--json'])
    if not result.get('signed_in') or result.get('platform') is None:
        return dict(signed_in=False, platform=None, key=None)
    return dict(signed_in=True, platform=result.get('platform'), key=result.get('key'))


def first_line(module, path):
    try:
        with open(path, 'rb') as f:
            key = f.readline().decode('utf-8', 'replace').rstrip('\r\n')
    except (IOError, OSError) as e:
        module.fail_json(msg='cannot read %s: %s' % (path, e.strerror))
    module.no_log_values.add(key)
    return key


def main():
    module = AnsibleModule(
        argument_spec=dict(
            state=dict(type='str', default='present', choices=['present', 'absent']),
            key=dict(type='str', no_log=True),
            key_file=dict(type='path'),
            platform=dict(type='str', choices=['cli', 'desktop']),
            executable=dict(type='str', default='morvanectl'),
        ),
        mutually_exclusive=[('key', 'key_file')],
        required_if=[('state', 'present', ('key', 'key_file'), True)],
        supports_check_mode=True,
    )
    params = module.params
    executable = params['executable']
    if os.sep not in executable:
        executable = module.get_bin_path(executable, required=True)
    present = params['state'] == 'present'
    key = None
    if present and params['key'] is not None:
        # A vault value read from a file ends with one line break; one inside
        # would make morvanectl, which reads the first line, sign in with part
        # of the key.
        key = params['key']
        key = key[:-2] if key.endswith('\r\n') else key[:-1] if key.endswith('\n') else key
        if '\n' in key or '\r' in key:
            module.fail_json(msg='the key has a line break in it')
        module.no_log_values.add(key)

    # The status is read for the diff alone, so that a home status cannot
    # read does not keep sign-in or reset from repairing it.
    before = status(module, executable) if module._diff else None

    if present:
        args = ['sign-in', '--json']
        if params['platform']:
            args += ['--platform', params['platform']]
        if key is None:
            args += ['--key-file', params['key_file']]
    else:
        args = ['reset', '--yes', '--json']
    if module.check_mode:
        args.append('--check')
    result = run(module, executable, args, stdin=None if key is None else (key + '\n').encode('utf-8'))

    response = dict(changed=bool(result.get('changed')), platform=result.get('platform'),
                    codex_home=result.get('codex_home'))
    if module._diff:
        if not response['changed']:
            after = before
        elif not module.check_mode:
            after = status(module, executable)
        elif present:
            given = key if key is not None else first_line(module, params['key_file'])
            after = dict(signed_in=True, platform=result.get('platform'), key=masked(given))
        else:
            after = dict(signed_in=False, platform=None, key=None)
        response['diff'] = dict(before=before, after=after)
    module.exit_json(**response)


if __name__ == '__main__':
    main()
